// The runtime on Windows: program path, arguments, code page, files, logs and exit.
// SPDX-License-Identifier: MIT
#include <windows.h>

#include <array>
#include <cstdio>

#include "base/codepage.h"
#include "base/path_rules.h"
#include "environment/command_line.h"
#include "environment/native_runtime.h"
#include "environment/windows_text.h"
#include "errors/error.h"

namespace {

std::wstring ModulePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// A program started through a short (8.3) path, as older launchers pass it, gets its module's name
// in that form ("ZARO~VEY"): every name derived from it needs the long one. Where the system cannot
// tell, the path stays as it is.
std::wstring LongPathOf(const std::wstring& path) {
  std::wstring buffer(path.size() + 1, L'\0');
  for (;;) {
    const DWORD length =
        GetLongPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return path;
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(length);
  }
}

std::vector<std::string> EnvironmentStrings() {
  wchar_t* block = GetEnvironmentStringsW();
  std::vector<std::string> strings = EnvironmentOfBlock(block);
  if (block != nullptr) FreeEnvironmentStringsW(block);
  return strings;
}

DWORD AttributesOf(const std::string& path) {
  return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(text::WideOf(path).c_str());
}

ErrorNumber ErrorForLastError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE:
      return ErrorNumber::kPathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return ErrorNumber::kPermissionDenied;
    default:
      return ErrorNumber::kPathFileAccess;
  }
}

}  // namespace

NativeRuntime::NativeRuntime(int /*argc*/, const char* const* /*argv*/)
    : program_file_(text::Utf8OfWide(LongPathOf(ModulePath()))),
      // Windows hands over one text; the C runtime's split would lose its quotes and blanks.
      argument_text_(ArgumentTextOf(text::Utf8OfWide(GetCommandLineW()))),
      environment_(EnvironmentStrings()),
      code_page_(GetACP()) {}

void NativeRuntime::set_program_file(const std::string& path) {
  program_file_ = text::Utf8OfWide(LongPathOf(text::WideOf(path)));
}

PathStyle NativeRuntime::path_style() const {
  return PathStyle::kWindows;
}

std::string NativeRuntime::ProgramFolder() const {
  const auto slash = program_file_.find_last_of('\\');
  if (slash == std::string::npos) return ".";
  // A drive's root keeps its separator: "C:\".
  if (slash > 0 && program_file_[slash - 1] == ':') return program_file_.substr(0, slash + 1);
  return program_file_.substr(0, slash);
}

std::string NativeRuntime::ProgramName() const {
  return ProgramNameOf(program_file_, '\\');
}

bool NativeRuntime::IsOrdinaryFile(const std::string& path) const {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string NativeRuntime::FindFile(const std::string& path) const {
  // Windows itself finds a name in any letter case.
  return IsOrdinaryFile(path) ? path : std::string();
}

void NativeRuntime::AppendToFile(const std::string& path, const std::string& text) {
  if (path.empty()) throw RuntimeError(ErrorNumber::kPathFileAccess, ProgramName());
  const DWORD attributes = AttributesOf(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    throw RuntimeError(ErrorNumber::kPathFileAccess, ProgramName());
  }
  // Converted first: a text that cannot be converted leaves no file behind.
  const std::string bytes = AnsiText(text);
  HANDLE file =
      CreateFileW(text::WideOf(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw RuntimeError(ErrorForLastError(GetLastError()), ProgramName());
  }
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
      written == bytes.size();
  const DWORD write_error = GetLastError();
  const bool closed = CloseHandle(file) != 0;
  if (!ok) throw RuntimeError(ErrorForLastError(write_error), ProgramName());
  if (!closed) throw RuntimeError(ErrorNumber::kPathFileAccess, ProgramName());
}

std::string NativeRuntime::AnsiText(std::string_view utf8) const {
  std::optional<std::string> bytes = AnsiTextIn(utf8, code_page_);
  // An empty entry or stamp reported as written would hide the loss.
  if (!bytes) throw RuntimeError(ErrorNumber::kInvalidArgument, ProgramName());
  return *std::move(bytes);
}

std::string NativeRuntime::ServiceLogPath() const {
  return "C:\\MorvikServicePack.log";
}

void NativeRuntime::WriteStandardError(const std::string& text) {
  // A program with a window usually has no standard error: the debugger channel (DebugView and
  // the like) still shows the entry.
  OutputDebugStringW(text::WideOf(text).c_str());
  static_cast<void>(std::fwrite(text.data(), 1, text.size(), stderr));
  static_cast<void>(std::fflush(stderr));
}

void NativeRuntime::WriteSystemLog(const std::string& text) {
  // No registered source: that takes an administrator, and the entry stands without it (Event
  // Viewer says the source's description is missing and shows the text).
  HANDLE source = RegisterEventSourceW(nullptr, text::WideOf(ProgramName()).c_str());
  if (source == nullptr) return;
  const std::wstring wide = text::WideOf(text);
  std::array<const wchar_t*, 1> strings{wide.c_str()};
  ReportEventW(source, EVENTLOG_ERROR_TYPE, 0, 0, nullptr, static_cast<WORD>(strings.size()), 0,
               strings.data(), nullptr);
  DeregisterEventSource(source);
}

void NativeRuntime::ProcessPendingEvents() {
  if (event_pump_) {
    event_pump_();
    return;
  }
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
    if (message.message == WM_QUIT) {
      // The loop that owns the window must still see it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void NativeRuntime::EndProcess(ExitStatus status) {
  static_cast<void>(std::fflush(nullptr));
  ExitProcess(static_cast<UINT>(status));
}
