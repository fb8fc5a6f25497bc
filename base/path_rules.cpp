// Program name, module name and base folder, derived from the program file.
// SPDX-License-Identifier: MIT
#include "base/path_rules.h"

#include "base/codepage.h"
#include "base/runtime.h"

namespace {

constexpr std::size_t kConfigSuffixLength = 7;

}  // namespace

std::string ProgramNameOf(std::string_view program_file, char separator) {
  const auto slash = program_file.find_last_of(separator);
  std::string_view name =
      slash == std::string_view::npos ? program_file : program_file.substr(slash + 1);
  const auto dot = name.find_last_of('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::string(name);
}

std::string ModuleNameOf(std::string_view program_name) {
  const std::u32string name = text::DecodeUtf8(program_name);
  if (name.size() < kConfigSuffixLength) return std::string(program_name);
  return text::EncodeUtf8(std::u32string_view(name).substr(0, name.size() - kConfigSuffixLength));
}

std::string BaseFolderOf(std::string_view program_folder, char separator,
                         const std::function<void()>& on_step) {
  std::string folder(program_folder);
  while (!folder.empty() && folder.back() != separator) {
    if (on_step) on_step();
    folder.pop_back();
  }
  if (!folder.empty()) folder.pop_back();
  return folder;
}

std::string BaseFolder(Module& module) {
  return BaseFolderOf(module.runtime.ProgramFolder(), SeparatorOf(module.runtime.path_style()),
                      [&module] { module.runtime.ProcessPendingEvents(); });
}
