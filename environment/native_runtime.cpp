#include "environment/native_runtime.h"

#include <cwchar>

#include "base/codepage.h"
#include "version.h"

// What both platforms keep alike once the process has told them.
std::string NativeRuntime::ProgramFilePath() const {
  return program_file_;
}

ProgramVersion NativeRuntime::Version() const {
  return {build_info::kVersionMajor, build_info::kVersionMinor, build_info::kVersionRevision};
}

std::string NativeRuntime::ArgumentText() const {
  return argument_text_;
}

std::string NativeRuntime::EnvironmentString(int index) const {
  if (index < 1 || static_cast<std::size_t>(index) > environment_.size()) return {};
  return environment_[static_cast<std::size_t>(index) - 1];
}

std::vector<std::string> NativeRuntime::EnvironmentOfBlock(const wchar_t* block) {
  std::vector<std::string> variables;
  if (block == nullptr) return variables;
  for (const wchar_t* entry = block; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
    // "=C:=C:\Plant", "=::=::\": the drives' current folders of whatever started the program.
    // No variables (`set` and the C runtime leave them out), and they change with every start.
    if (*entry != L'=') variables.push_back(text::Utf8OfWide(entry));
  }
  return variables;
}
