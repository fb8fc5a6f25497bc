// Help mode: toggling it, and showing a control's help text instead of acting.
// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "base/module.h"
#include "form/form.h"

// The help text with every "<CRLF>", in any case, turned into CR LF.
std::string ExpandLineMarkers(const std::string& help_text);

// The help button: switches HelpMode and shows it in the button's colour.
void ToggleHelpMode(Module& module, Control& help_button);

// What a check box's click does. Outside help mode nothing (the click stands). In help mode it
// undoes the click and shows the box's help; the notification its own undo raises is absorbed.
void HelpModeClick(Module& module, Control& box);

// In help mode shows the control's help text in an "Info:" box; otherwise nothing.
void ShowHelpInfo(Module& module, const Control& control);
