// Tests of what a screen reader says of a control, in each language.
// SPDX-License-Identifier: MIT
#include "form/accessible_text.h"

#include <gtest/gtest.h>

// German by its primary language, whatever the country: Germany, Switzerland, Austria.
TEST(AccessibleText, APictureIsNamedInGermanForEveryGermanLanguageCode) {
  const Control cancel({.kind = ControlKind::kCommandButton, .picture = "cancel"});
  for (const char* german : {"1031", "2055", "3079"})
    EXPECT_EQ(AccessibleTextOf(cancel, german).name, "Abbrechen") << german;
  EXPECT_EQ(AccessibleTextOf(cancel, "1033").name, "Cancel");
}
