// What the runtime of both platforms keeps alike: program path and version.
// SPDX-License-Identifier: MIT
#include "environment/native_runtime.h"

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
