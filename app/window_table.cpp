// The designed table of the window's controls: places, captions, fonts, pictures.
// SPDX-License-Identifier: MIT
#include "app/window_table.h"

#include "app/control_names.h"

const std::vector<ControlDesign>& MainWindowTable() {
  using enum ControlKind;
  const FontDesign header_font{"MS Sans Serif", 13.5, true};
  const FontDesign box_font{"MS Sans Serif", 12, true};
  // clang-format off
  static const std::vector<ControlDesign> table{
    // name                           kind            container    caption
    //   left   top    width  height tab help font         tag  index enabled picture
    {kHeader, kLabel, "", "Zaro_MainPictureExt - Konfiguration Hauptbild Zaro",
       30,    30, 11775,   360,  6,   0, header_font, "", -1, true,  ""},
    {kMainFrame, kFrame, "", "",
        0,   390, 11880,  7260,  0,   0, {},          "", -1, true,  ""},
    {kFrameFPI, kFrame, kMainFrame, "",
       90,   120,  6900,  2400,  1,   0, {},          "", -1, true,  ""},
    {kCheckEffizienz, kCheckBox, kFrameFPI, "mit Effizienz",
      120,   150,  6600,   375,  2,  11, box_font,    "", -1, true,  ""},
    {kCheckAuswurfAufTatsaechliche, kCheckBox, kFrameFPI,
       "Auswurfberechnung mit tatsächlicher Produktion",
      120,   600,  6600,   375,  7,  12, box_font,    "", -1, true,  ""},
    {kCommandQuest, kCommandButton, "", "",
     7350,  7710,   975,   855,  5,   0, {},          "", -1, true,  kPictureHelp},
    {kCommandOK, kCommandButton, "", "",
     8400,  7710,  1695,   855,  3,   1, {},          "", -1, false, kPictureOk},
    {kCommandCancel, kCommandButton, "", "",
    10170,  7710,  1695,   855,  4,   2, {},          "", -1, true,  kPictureCancel},
  };
  // clang-format on
  return table;
}

Form MakeMainForm() {
  return Form(kDesignCaption, MainWindowTable());
}
