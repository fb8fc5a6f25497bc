// The common error pattern: handling, raising and ending on runtime errors.
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/module.h"
#include "base/runtime.h"
#include "errors/error.h"

// What the failing procedure does next: end the program or go on with its next step.
enum class HandleErrorResult : std::int32_t { kEnd = 1, kContinue = 2 };

// Logs the error to the configuration log, then asks the user whether to resume (in silent mode
// writes the message to the service log instead). A failure of the log writers is not caught
// here: it goes to the caller.
HandleErrorResult HandleError(Module& module, std::int32_t number, const std::string& source,
                              const std::string& description, std::string_view proc_name);

// Ends the program at once with kExitFailure; no closing logic of the window runs.
[[noreturn]] void EndProgram(Module& module);

// Throws the runtime error `number` with the program name as its source.
[[noreturn]] void Raise(const Module& module, ErrorNumber number);

// Runs the steps of one procedure under the common error pattern: a step that throws a
// RuntimeError goes to HandleError under the procedure's name; the answer "end" ends the program,
// anything else lets the next step run. What the failed step was to assign keeps its value.
class Procedure {
 public:
  Procedure(Module& module, std::string_view name) : module_(module), name_(name) {}

  // True when the step ran to its end.
  template <typename Fn>
  bool Step(Fn&& fn) {
    std::optional<RuntimeError> failure;
    try {
      std::forward<Fn>(fn)();
      return true;
    } catch (const RuntimeError& error) {
      failure = error;
    }
    Handle(*failure);
    return false;
  }

  // The test of a two-way branch: a test that fails resumes inside the branch it guards.
  template <typename Fn>
  bool Test(Fn&& condition) {
    bool result = true;
    Step([&] { result = std::forward<Fn>(condition)(); });
    return result;
  }

  Module& module() const { return module_; }

 private:
  void Handle(const RuntimeError& error);

  Module& module_;
  std::string_view name_;
};

void ReportEscapedError(Module& module, const RuntimeError& error);

// For the outermost frame of an event: a RuntimeError that escaped every procedure (a log that
// could not be written while an error was handled) is shown or logged, and the program ends.
template <typename Fn>
void RunOutermost(Module& module, Fn&& fn) {
  std::optional<RuntimeError> escaped;
  try {
    std::forward<Fn>(fn)();
    return;
  } catch (const RuntimeError& error) {
    escaped = error;
  } catch (const std::exception& error) {
    // Not raised by our code, but it must not unwind through the toolkit either.
    escaped.emplace(static_cast<std::int32_t>(ErrorNumber::kPathFileAccess),
                    module.runtime.ProgramName(), error.what());
  }
  ReportEscapedError(module, *escaped);
  EndProgram(module);
}
