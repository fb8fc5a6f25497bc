// The window's design: its name, caption, size, font and table of controls.
// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

#include "form/form.h"

inline constexpr const char* kFormName = "frm_Zaro_MainPictureExt_Config_Exe";
inline constexpr const char* kDesignCaption = "Base Q7XCFG-Erweiterung";
inline constexpr int kClientWidthTwips = 11880;
inline constexpr int kClientHeightTwips = 8595;
// The form's own font, used by every control that names none.
inline const FontDesign kFormFont{"MS Sans Serif", 8, false};

// The window's eight controls, containers before their contents.
const std::vector<ControlDesign>& MainWindowTable();

// A fresh form of the window as designed.
Form MakeMainForm();
