// Works out what a screen reader says of a control, in the user's language.
// SPDX-License-Identifier: MIT
#include "form/accessible_text.h"

#include <charconv>

#include "form/form.h"

namespace {

// A Windows language code whose primary language is German: 1031, 2055 (Switzerland),
// 3079 (Austria), ... The code is text as stored; anything that is no number is not German.
bool IsGerman(const std::string& language) {
  int code = 0;
  const char* end = language.data() + language.size();
  const auto [stop, error] = std::from_chars(language.data(), end, code);
  constexpr int kPrimaryLanguageMask = 0x3FF;
  constexpr int kGerman = 0x07;
  return error == std::errc{} && stop == end && (code & kPrimaryLanguageMask) == kGerman;
}

std::string PictureMeaning(const std::string& picture, bool german) {
  if (picture == kPictureOk) return "OK";
  if (picture == kPictureCancel) return german ? "Abbrechen" : "Cancel";
  if (picture == kPictureHelp) return german ? "Hilfe" : "Help";
  return "";
}

}  // namespace

AccessibleText AccessibleTextOf(const Control& control, const std::string& language) {
  AccessibleText text;
  if (!control.Caption().empty()) {
    text.name = control.Caption();
  } else if (!control.ToolTipText().empty()) {
    text.name = control.ToolTipText();
  } else {
    text.name = PictureMeaning(control.design().picture, IsGerman(language));
  }
  if (control.design().kind == ControlKind::kFrame) text.description = control.ToolTipText();
  return text;
}
