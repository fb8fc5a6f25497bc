// Help mode: the help button, and help texts shown for the clicked control.
// SPDX-License-Identifier: MIT
#include "ui_text/help_mode.h"

#include <algorithm>
#include <cctype>

#include "base/dialogs.h"

namespace {

constexpr std::string_view kMarker = "<CRLF>";

bool SameLetterIgnoringCase(char a, char b) {
  return std::toupper(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
}

}  // namespace

std::string ExpandLineMarkers(const std::string& help_text) {
  std::string message;
  auto rest = help_text.begin();
  for (;;) {
    const auto found =
        std::search(rest, help_text.end(), kMarker.begin(), kMarker.end(), SameLetterIgnoringCase);
    message.append(rest, found);
    if (found == help_text.end()) return message;
    message += "\r\n";
    rest = found + static_cast<std::ptrdiff_t>(kMarker.size());
  }
}

void ToggleHelpMode(Module& module, Control& help_button) {
  ModuleState& state = module.state;
  state.HelpMode = !state.HelpMode;
  help_button.SetBackColor(state.HelpMode ? kHelpModeOnColor : kHelpModeOffColor);
}

void HelpModeClick(Module& module, Control& box) {
  ModuleState& state = module.state;
  if (!state.HelpMode) return;
  if (state.HelpClickGuard) {
    state.HelpClickGuard = false;
    return;
  }
  state.HelpClickGuard = true;
  box.SetValue(box.Value() == 0 ? 1 : 0);
  // The undo above raised the click that cleared the guard; should a box ever not raise it, the
  // next user click must still be taken afresh.
  state.HelpClickGuard = false;
  ShowHelpInfo(module, box);
}

void ShowHelpInfo(Module& module, const Control& control) {
  if (!module.state.HelpMode) return;
  const std::int32_t help_id = control.WhatsThisHelpID();
  std::string help_text;
  if (help_id >= 1 && help_id <= kHelpTextCount) {
    help_text = module.state.HelpTexts[static_cast<std::size_t>(help_id - 1)];
  }
  module.dialogs.ShowMessage({ExpandLineMarkers(help_text), "Info:", MessageIcon::kInformation,
                              MessageButtons::kOk, MessageAnswer::kOk});
}
