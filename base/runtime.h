// The services of the operating system the program uses, as one interface.
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// How paths are written on the platform; the path rules are pure functions of it.
enum class PathStyle { kWindows, kPosix };

inline char SeparatorOf(PathStyle style) {
  return style == PathStyle::kWindows ? '\\' : '/';
}

// The status the process ends with, as its caller sees it.
enum ExitStatus : int { kExitSuccess = 0, kExitFailure = 1 };

struct ProgramVersion {
  int major = 0;
  int minor = 0;
  int revision = 0;
};

// The services of the operating system and the runtime that the module uses. Text is UTF-8.
class Runtime {
 public:
  virtual ~Runtime() = default;

  virtual PathStyle path_style() const = 0;
  // The folder holding the program file: no trailing separator except at a root.
  virtual std::string ProgramFolder() const = 0;
  // The program file's name without extension.
  virtual std::string ProgramName() const = 0;
  // The program file's real full path.
  virtual std::string ProgramFilePath() const = 0;
  virtual ProgramVersion Version() const = 0;
  // The argument part of the command line as one text, nothing split or unquoted.
  virtual std::string ArgumentText() const = 0;
  // The process environment string number `index`, counted from 1; "" past the last.
  virtual std::string EnvironmentString(int index) const = 0;

  // True when `path` is not empty and names an ordinary file.
  virtual bool IsOrdinaryFile(const std::string& path) const = 0;
  // The path of the ordinary file that `path` names; on a case-sensitive file system also one
  // whose path differs from it only in letter case (the exact name wins). "" when none exists.
  virtual std::string FindFile(const std::string& path) const = 0;
  // Appends `text` to the file in the platform's 8-bit code page, creating the file when it is
  // missing; opened and closed for this one write. Throws RuntimeError when it cannot.
  virtual void AppendToFile(const std::string& path, const std::string& text) = 0;
  // `utf8` in the system's 8-bit code page, as logs and the editor code carry it: the ANSI code
  // page on Windows (which may be UTF-8), Windows-1252 elsewhere. Characters it lacks become "?".
  // Throws RuntimeError when the system converts a text into nothing.
  virtual std::string AnsiText(std::string_view utf8) const = 0;
  // Where the service log lies; fixed per platform.
  virtual std::string ServiceLogPath() const = 0;
  // The last resorts for a log entry that no file would take. The system's log is Windows'
  // Application event log; elsewhere there is none, standard error reaches the journal.
  virtual void WriteStandardError(const std::string& text) = 0;
  virtual void WriteSystemLog(const std::string& text) = 0;

  // Lets the window handle the events waiting for it, once.
  virtual void ProcessPendingEvents() = 0;
  // Ends the process at once with `status`; nothing after it runs.
  [[noreturn]] virtual void EndProcess(ExitStatus status) = 0;
};
