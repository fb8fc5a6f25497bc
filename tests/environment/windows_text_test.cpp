// Tests of the Windows text conversion and the environment block.
// SPDX-License-Identifier: MIT
#include "environment/windows_text.h"

#include <gtest/gtest.h>

// 65001 is Windows' "Use Unicode UTF-8 for worldwide language support". Windows refuses a
// default character there and converts nothing; Wine converts anyway.
TEST(WindowsText, AnsiTextFollowsTheCodePage) {
  const AnsiConversion windows = [](unsigned page, const wchar_t* wide, int length, char* bytes,
                                    int size, const char* default_char) {
    if (page == 65001 && default_char != nullptr) return 0;
    return SystemAnsiConversion(page, wide, length, bytes, size, default_char);
  };
  const std::string text = "B\xC3\xA4r \xE2\x82\xAC \xE2\x86\x92";
  EXPECT_EQ(AnsiTextIn(text, 1252, windows), "B\xE4r \x80 ?");
  EXPECT_EQ(AnsiTextIn(text, 65001, windows), text);
}

TEST(WindowsText, EnvironmentBlockListsTheVariablesButNotTheDrivesCurrentFolders) {
  const wchar_t block[] = L"=C:=C:\\Anlage\0=::=::\\\0USER=J\u00F6rg\0=D:=D:\\\0Path=C:\\x\0";
  EXPECT_EQ(EnvironmentOfBlock(block),
            (std::vector<std::string>{"USER=J\xC3\xB6rg", "Path=C:\\x"}));
}
