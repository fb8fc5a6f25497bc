// Finds the files the program works on: program.ini, the central INI, the .cfg file.
// SPDX-License-Identifier: MIT
#include "environment/file_locations.h"

#include "base/codepage.h"
#include "base/line_breaks.h"
#include "base/path_rules.h"
#include "base/runtime.h"
#include "environment/entry_names.h"
#include "errors/error_handler.h"
#include "errors/logs.h"
#include "settings/ini_access.h"

namespace {
char Separator(const Module& module) {
  return SeparatorOf(module.runtime.path_style());
}

std::function<void()> PendingEvents(Module& module) {
  return [&module] { module.runtime.ProcessPendingEvents(); };
}

// What `text`, read from a Windows-1252 file, says when its bytes were meant as UTF-8; "" when
// they are not UTF-8 or read the same either way.
std::string Utf8ReadingOf(std::string_view text) {
  const std::string bytes = text::Utf8ToWindows1252(text);
  const bool other = bytes != text && text::Windows1252ToUtf8(bytes) == text;
  return other && text::IsUtf8(bytes) ? bytes : std::string();
}
}  // namespace

std::string FileNameOnlyOf(std::string_view path, char separator,
                           const std::function<void()>& on_step) {
  std::string_view rest = path;
  for (auto cut = rest.find(separator); cut != std::string_view::npos; cut = rest.find(separator)) {
    if (on_step) on_step();
    rest.remove_prefix(cut + 1);
  }
  return std::string(rest);
}

std::string ConfiguratorProgramIniOf(std::string_view save_and_restore, char separator) {
  std::string path(save_and_restore);
  if (path.empty() || path.back() != separator) path += separator;
  return path + "parameter" + separator + "program.ini";
}

std::string GetQ7XConfigurationIniPath(Module& module) {
  Procedure proc(module, "GetQ7XConfigurationIniPath");
  const char sep = Separator(module);
  std::string path;
  std::string result;
  proc.Step([&] { path = BaseFolder(module) + sep + "parameter" + sep + "q7xconfiguration.ini"; });
  proc.Step([&] { result = module.runtime.FindFile(path); });
  return result;
}

std::string LocalProgramIniPath(Module& module) {
  const char sep = Separator(module);
  return BaseFolder(module) + sep + "parameter" + sep + "Program.ini";
}

std::string GetProgramIniPath(Module& module, PathKind path_kind) {
  Procedure proc(module, "GetProgramIniPath");
  const char sep = Separator(module);
  std::string path;
  std::string result;
  // Editors on Linux save the folder in UTF-8, which the file's code page turns into other
  // letters: then its bytes read as UTF-8 name the folder. The exact reading stays first.
  std::string utf8_path;
  if (proc.Test([&] {
        return path_kind == PathKind::kConfiguratorCopy && module.state.IntegratedMode;
      })) {
    std::string save_and_restore;
    proc.Step([&] {
      save_and_restore = LoadIniString(module, kCommonSection, kSaveAndRestoreEntry,
                                       GetQ7XConfigurationIniPath(module));
    });
    proc.Step([&] { path = ConfiguratorProgramIniOf(save_and_restore, sep); });
    proc.Step([&] {
      const std::string utf8 = Utf8ReadingOf(save_and_restore);
      if (!utf8.empty()) utf8_path = ConfiguratorProgramIniOf(utf8, sep);
    });
  } else {
    proc.Step([&] { path = LocalProgramIniPath(module); });
  }
  proc.Step([&] { result = module.runtime.FindFile(path); });
  if (result.empty() && !utf8_path.empty()) {
    proc.Step([&] { result = module.runtime.FindFile(utf8_path); });
  }
  return result;
}

std::string GetCFGPath(Module& module) {
  Procedure proc(module, "GetCFGPath");
  const char sep = Separator(module);
  std::string base;
  std::string name;
  std::string path;
  std::string found;
  proc.Step([&] { base = BaseFolder(module); });
  proc.Step([&] { name = GetOCXName(module); });
  proc.Step([&] { path = base + sep + name + sep + name + ".cfg"; });
  if (proc.Test([&] {
        found = module.runtime.FindFile(path);
        return !found.empty();
      })) {
    return found.empty() ? path : found;
  }
  proc.Step([&] { ReportFileFault(module, "File not found", path); });
  EndProgram(module);
}

std::string GetFileNameOnly(Module& module, const std::string& full_path) {
  Procedure proc(module, "GetFileNameOnly");
  std::string result;
  proc.Step([&] { result = FileNameOnlyOf(full_path, Separator(module), PendingEvents(module)); });
  return result;
}

std::string GetOCXName(Module& module) {
  Procedure proc(module, "GetOCXName");
  std::string result;
  proc.Step([&] { result = ModuleNameOf(module.runtime.ProgramName()); });
  return result;
}
