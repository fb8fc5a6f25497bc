// Loads and saves INI entries for the program, under the common error pattern.
// SPDX-License-Identifier: MIT
#include "settings/ini_access.h"

#include <charconv>
#include <optional>
#include <type_traits>

#include "errors/error_handler.h"
#include "errors/logs.h"
#include "errors/narrowing.h"
#include "settings/ini_backend.h"

namespace {

template <typename Number>
std::string DecimalText(Number number) {
  char buffer[64];
  const auto [end, error] = std::to_chars(std::begin(buffer), std::end(buffer), number);
  return error == std::errc() ? std::string(buffer, end) : std::string();
}

// The text SaveIni writes for a value; nullopt for a kind it cannot write.
std::optional<std::string> IniText(const IniValue& value) {
  return std::visit(
      [](const auto& v) -> std::optional<std::string> {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, bool>) {
          return v ? "true" : "false";
        } else if constexpr (std::is_same_v<T, std::string>) {
          return v;
        } else if constexpr (std::is_same_v<T, UnsupportedValue>) {
          return std::nullopt;
        } else if constexpr (std::is_same_v<T, std::uint8_t>) {
          return DecimalText(static_cast<unsigned>(v));
        } else {
          return DecimalText(v);
        }
      },
      value);
}

}  // namespace

std::string LoadIniString(Module& module, const std::string& section, const std::string& entry,
                          const std::string& file_name) {
  Procedure proc(module, "LoadIniString");
  std::string result;
  proc.Step([&] { result = ini::ReadProfileString(file_name, section, entry); });
  return result;
}

std::int16_t LoadIniInteger(Module& module, const std::string& section, const std::string& entry,
                            const std::string& file_name) {
  Procedure proc(module, "LoadIniInteger");
  std::int32_t read = 0;
  std::int16_t result = 0;
  proc.Step([&] { read = ini::ReadProfileInt(file_name, section, entry, -1); });
  proc.Step([&] { result = NarrowToInt16(module, read); });
  return result;
}

std::int16_t SaveIni(Module& module, const IniValue& value, const std::string& section,
                     const std::string& entry, const std::string& file_name) {
  Procedure proc(module, "SaveIni");
  std::optional<std::string> text;
  std::int16_t result = 0;
  proc.Step([&] {
    text = IniText(value);
    if (!text) ReportFault(module, "Ini Save:  wrong data type");
  });
  // An unsupported value must not blank the stored entry.
  if (!text) return result;
  proc.Step([&] { result = ini::WriteProfileString(file_name, section, entry, *text) ? 1 : 0; });
  return result;
}
