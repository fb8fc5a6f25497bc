// Test doubles of the runtime and the message boxes, and the common test fixture.
// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "base/dialogs.h"
#include "base/module.h"
#include "environment/native_runtime.h"
#include "errors/error.h"

// Thrown where the real runtime would end the process, so a test sees where the program ended.
struct ProgramEnded {
  int status;
};

// The real file services on a test's own folders, with the program's identity, its command line,
// its environment and its exits under the test's control.
class FakeRuntime : public NativeRuntime {
 public:
  FakeRuntime() : NativeRuntime(0, nullptr) {}

  PathStyle path_style() const override { return style; }
  std::string ProgramFolder() const override {
    if (++program_folder_calls == failing_program_folder_call) {
      throw RuntimeError(ErrorNumber::kPathFileAccess, program_name);
    }
    return program_folder;
  }
  std::string ProgramName() const override { return program_name; }
  std::string ProgramFilePath() const override { return program_folder + "/" + program_name; }
  ProgramVersion Version() const override { return version; }
  std::string ArgumentText() const override { return argument_text; }
  std::string EnvironmentString(int index) const override {
    return index < 1 || static_cast<std::size_t>(index) > environment.size()
               ? ""
               : environment[index - 1];
  }
  void AppendToFile(const std::string& path, const std::string& text) override;
  std::string ServiceLogPath() const override { return service_log; }
  void WriteStandardError(const std::string& text) override { standard_error += text; }
  void WriteSystemLog(const std::string& text) override { system_log += text; }
  void ProcessPendingEvents() override {
    if (on_pending_events) on_pending_events();
  }
  [[noreturn]] void EndProcess(ExitStatus status) override { throw ProgramEnded{status}; }

  PathStyle style = PathStyle::kPosix;
  std::string program_folder = "/nonexistent/Tools";
  std::string program_name = "Zaro_MainPictureExt_Config";
  ProgramVersion version{1, 0, 3};
  std::string argument_text;
  std::vector<std::string> environment{"X=a-b_c"};
  std::string service_log = "/nonexistent/MorvikServicePack.log";
  std::string standard_error;
  std::string system_log;
  std::function<void()> on_pending_events;  // what arrives while the window lets events through
  // Faults on demand: the given call of ProgramFolder (counted from 1), and the appends that
  // follow the next passing ones.
  int failing_program_folder_call = 0;
  int passing_appends = 0;
  int failing_appends = 0;
  mutable int program_folder_calls = 0;
};

// Records every box and answers from a script; with no answer left it takes the default button.
class FakeDialogs : public Dialogs {
 public:
  MessageAnswer ShowMessage(const MessageBoxRequest& request) override;

  std::vector<MessageBoxRequest> shown;
  std::deque<MessageAnswer> answers;
  std::function<void()> on_show;  // runs while the box is up
};

// Paths in the program's own text, UTF-8, on every platform (a narrow path on Windows would be
// read in the ANSI code page).
inline std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A folder of the test's own, removed afterwards; in the system's temporary folder unless a
// test needs another file system.
class TempDir {
 public:
  explicit TempDir(const std::filesystem::path& parent = std::filesystem::temp_directory_path());
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& relative) const {
    const std::u8string text = (path_ / PathOf(relative)).u8string();
    return std::string(text.begin(), text.end());
  }

 private:
  std::filesystem::path path_;
};

// The tests are built for Windows (and run there or under Wine).
inline bool OnWindows() {
  return NativeRuntime(0, nullptr).path_style() == PathStyle::kWindows;
}

// The error number of an append through the runtime, 0 when it succeeds.
int AppendErrorNumber(NativeRuntime& runtime, const std::string& path);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// The names in a folder: what a save left behind.
std::set<std::string> NamesIn(const std::filesystem::path& folder);

// A fresh module on a plant tree: <root>/Tools holds the program, <root>/parameter the INI files.
class ModuleTest : public ::testing::Test {
 protected:
  ModuleTest();

  // Writes `bytes` under the plant root, creating folders.
  std::string Put(const std::string& relative, const std::string& bytes);
  // The plant a window opens on: one machine, its word 1, and the given own INI file.
  void PutWindowPlant(const std::string& own_ini);
  std::string CfgLog() const { return dir_ / "plant/Q7Xcfglog.txt"; }

  TempDir dir_;
  FakeRuntime runtime_;
  FakeDialogs dialogs_;
  Module module_{runtime_, dialogs_};
};
