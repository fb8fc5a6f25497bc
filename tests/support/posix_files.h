// The POSIX backend tests' folder with its INI file, and a file's status.
// SPDX-License-Identifier: MIT
#pragma once

#include <sys/stat.h>

#include <string>

#include "support/fakes.h"

inline struct stat StatOf(const std::string& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st;
}

class IniBackendTest : public testing::Test {
 protected:
  TempDir dir_;
  std::string file_ = dir_ / "test.ini";
};
