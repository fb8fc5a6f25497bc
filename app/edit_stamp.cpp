#include "app/edit_stamp.h"

#include <cstdio>

#include "base/codepage.h"
#include "environment/file_locations.h"
#include "errors/error_handler.h"
#include "settings/ini_access.h"

std::string EditorCodeOf(std::string_view environment_entry,
                         const std::function<std::string(std::string_view)>& to_code_page) {
  const std::size_t equals = environment_entry.find('=');
  const std::string_view value =
      equals == std::string_view::npos ? environment_entry : environment_entry.substr(equals + 1);
  std::string code;
  for (const char c : to_code_page(value)) {
    if (c == '-' || c == '_') continue;
    char hex[8];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned char>(c) + 5U);
    code += hex;
  }
  return code;
}

void WriteEditInfo(Module& module) {
  Procedure proc(module, "WriteEditInfo");
  std::string version_text;
  std::string editor_code;
  proc.Step([&] {
    const ProgramVersion version = module.runtime.Version();
    version_text = std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
                   std::to_string(version.revision) +
                   (module.state.IntegratedMode ? " - Integrated" : " - Standalone");
  });
  proc.Step([&] { SaveIni(module, version_text, "Info", "S_Prog", GetCFGPath(module)); });
  proc.Step([&] {
    editor_code =
        EditorCodeOf(module.runtime.EnvironmentString(1),
                     [&module](std::string_view utf8) { return module.runtime.AnsiText(utf8); });
  });
  proc.Step([&] { SaveIni(module, editor_code, "Info", "S_Editor", GetCFGPath(module)); });
}
