// The runtime of the platform the program is built for.
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/runtime.h"

// The runtime of the platform the program is built for.
class NativeRuntime : public Runtime {
 public:
  // Takes the arguments and the environment as the process received them, before any toolkit
  // has consumed options of its own.
  NativeRuntime(int argc, const char* const* argv);

  PathStyle path_style() const override;
  std::string ProgramFolder() const override;
  std::string ProgramName() const override;
  std::string ProgramFilePath() const override;
  ProgramVersion Version() const override;
  std::string ArgumentText() const override;
  std::string EnvironmentString(int index) const override;
  bool IsOrdinaryFile(const std::string& path) const override;
  std::string FindFile(const std::string& path) const override;
  void AppendToFile(const std::string& path, const std::string& text) override;
  std::string AnsiText(std::string_view utf8) const override;
  std::string ServiceLogPath() const override;
  void WriteStandardError(const std::string& text) override;
  void WriteSystemLog(const std::string& text) override;
  void ProcessPendingEvents() override;
  [[noreturn]] void EndProcess(ExitStatus status) override;

  // The program file as the system names it, kept in its long form (a short 8.3 one is what an
  // older launcher may start). The constructor takes the system's; tests hand in their own.
  void set_program_file(const std::string& path);

  // The window's event loop, once it exists.
  void SetEventPump(std::function<void()> pump) { event_pump_ = std::move(pump); }

  // The code page of AnsiText on Windows: the system's ANSI code page at start. Elsewhere the
  // text is always Windows-1252.
  void set_code_page(unsigned code_page) { code_page_ = code_page; }

 private:
  std::string program_file_;
  std::string argument_text_;
  std::vector<std::string> environment_;
  std::function<void()> event_pump_;
  unsigned code_page_ = 1252;
};
