// Stamps the machine's configuration file with version, run mode and editor code.
// SPDX-License-Identifier: MIT
#include "app/edit_stamp.h"

#include <array>
#include <cstdio>

#include "base/codepage.h"
#include "environment/entry_names.h"
#include "environment/file_locations.h"
#include "errors/error_handler.h"
#include "errors/logs.h"
#include "settings/ini_access.h"

std::string EditorCodeOf(std::string_view environment_entry,
                         const std::function<std::string(std::string_view)>& to_code_page) {
  const std::size_t equals = environment_entry.find('=');
  const std::string_view value =
      equals == std::string_view::npos ? environment_entry : environment_entry.substr(equals + 1);
  std::string code;
  for (const char c : to_code_page(value)) {
    if (c == '-' || c == '_') continue;
    std::array<char, 8> hex{};
    // A number of at most three hex digits always fits.
    static_cast<void>(
        std::snprintf(hex.data(), hex.size(), "%X", static_cast<unsigned char>(c) + 5U));
    code += hex.data();
  }
  return code;
}

bool WriteEditInfo(Module& module) {
  Procedure proc(module, "WriteEditInfo");
  std::string version_text;
  std::string editor_code;
  std::string failed_path;
  // SaveIni's 0 also stands for a save an error broke off.
  const auto save = [&](const std::string& value, const char* entry) {
    const std::string path = GetCFGPath(module);
    if (SaveIni(module, value, kInfoSection, entry, path) == 0 && failed_path.empty())
      failed_path = path;
  };
  proc.Step([&] {
    const ProgramVersion version = module.runtime.Version();
    version_text = std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
                   std::to_string(version.revision) +
                   (module.state.IntegratedMode ? " - Integrated" : " - Standalone");
  });
  proc.Step([&] { save(version_text, kS_ProgEntry); });
  proc.Step([&] {
    editor_code =
        EditorCodeOf(module.runtime.EnvironmentString(1),
                     [&module](std::string_view utf8) { return module.runtime.AnsiText(utf8); });
  });
  proc.Step([&] { save(editor_code, kS_EditorEntry); });
  if (failed_path.empty()) return true;
  // One report for the file, however many of its entries failed.
  proc.Step([&] { ReportFileFault(module, "File not saved", failed_path); });
  return false;
}
