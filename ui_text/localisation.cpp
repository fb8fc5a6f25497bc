// Loads the window's captions, tooltips and help texts in the user's language.
// SPDX-License-Identifier: MIT
#include "ui_text/localisation.h"

#include <algorithm>
#include <array>

#include "base/codepage.h"
#include "base/runtime.h"
#include "errors/error.h"
#include "errors/error_handler.h"
#include "form/form.h"
#include "settings/ini_access.h"
#include "settings/ini_backend.h"

namespace {

constexpr const char* kNoText = "0";

bool HasText(const std::string& value) {
  return !value.empty() && value != kNoText;
}

std::string Text(const PropertyValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  return std::to_string(std::get<std::int32_t>(value));
}

std::int32_t Number(const PropertyValue& value) {
  if (const auto* number = std::get_if<std::int32_t>(&value)) return *number;
  throw RuntimeError(ErrorNumber::kNoSuchProperty, "WhatsThisHelpID");
}

// By the class name, in any case, as a toolkit may report it.
bool IsCaptioned(const std::string& class_name) {
  const std::string name = text::UpperCase(class_name);
  constexpr std::array kCaptioned = {ControlKind::kLabel, ControlKind::kCommandButton,
                                     ControlKind::kCheckBox};
  return std::ranges::any_of(kCaptioned, [&name](ControlKind kind) {
    return name == text::UpperCase(std::string(ClassNameOf(kind)));
  });
}

bool IsArrayMember(Form& form, int position, const std::string& name) {
  for (int other = 0; other < form.Count(); ++other) {
    if (other != position && Text(form.At(other).Property("Name")) == name) return true;
  }
  return false;
}

// Everything of one control after its array membership is known. Throws to abandon the control.
void ApplyTexts(Module& module, Control& control, const std::string& key_suffix,
                const std::string& language, const std::string& file) {
  if (IsCaptioned(control.ClassName())) {
    const std::string caption_key = "Caption_" + key_suffix;
    const std::string caption = LoadIniString(module, language, caption_key, file);
    if (HasText(caption)) {
      control.SetProperty("Caption", caption);
    } else {
      SaveIni(module, language == kDesignLanguage ? Text(control.Property("Caption")) : kNoText,
              language, caption_key, file);
    }
    const std::int32_t help_id = Number(control.Property("WhatsThisHelpID"));
    if (help_id != 0) {
      if (help_id < 1 || help_id > kHelpTextCount) return;  // no help entry and no tooltip
      const std::string help_key = "Help" + std::to_string(help_id);
      std::string& slot = module.state.HelpTexts[static_cast<std::size_t>(help_id - 1)];
      slot = LoadIniString(module, language, help_key, file);
      if (!HasText(slot)) SaveIni(module, std::string(kNoText), language, help_key, file);
    }
  }
  if (text::UpperCase(Text(control.Property("Tag"))).find("NOTTT") != std::string::npos) return;
  const std::string tip_key = "TTT_" + key_suffix;
  const std::string tip = LoadIniString(module, language, tip_key, file);
  if (HasText(tip)) {
    control.SetProperty("ToolTipText", tip);
  } else {
    SaveIni(module, std::string(kNoText), language, tip_key, file);
  }
}

}  // namespace

std::string OwnIniPath(Module& module) {
  const Runtime& runtime = module.runtime;
  const std::string path =
      runtime.ProgramFolder() + SeparatorOf(runtime.path_style()) + runtime.ProgramName() + ".ini";
  // A copy of the program renamed in another letter case keeps using the file that is there.
  const std::string found = runtime.FindFile(path);
  return found.empty() ? path : found;
}

std::string GetLanguage(Module& module) {
  Procedure proc(module, "GetLanguage");
  std::string file;
  std::string language;
  proc.Step([&] {
    file = OwnIniPath(module);
    // Before the first write, which would make it in a code page that may lack the keys' "ä".
    ini::CreateProfileForAnyText(file);
  });
  proc.Step([&] { language = LoadIniString(module, "Language", "Language", file); });
  if (proc.Test([&] { return language.empty(); })) {
    proc.Step([&] { SaveIni(module, std::string(kDesignLanguage), "Language", "Language", file); });
    language = kDesignLanguage;
  }
  return language;
}

void LoadToolTipTexts(Module& module, Form& form) {
  const std::string language = GetLanguage(module);
  form.SetLanguage(language);
  const std::string file = OwnIniPath(module);
  const int count = form.Count();
  for (int position = 0; position < count; ++position) {
    Control& control = form.At(position);
    const std::string name = Text(control.Property("Name"));
    const bool array_member = IsArrayMember(form, position, name);
    // A control that lacks a property is passed over quietly; the walk goes on with the next.
    try {
      const std::string index = array_member ? Text(control.Property("Index")) : "";
      const std::string suffix = name + index + "_" + Text(control.Property("Tag"));
      ApplyTexts(module, control, suffix, language, file);
    } catch (const RuntimeError&) {
    }
  }
}
