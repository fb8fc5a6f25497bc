#include <gtest/gtest.h>

#include "environment/command_line.h"

namespace {

struct ArgumentCase {
  const char* command_line;
  const char* arguments;
};

class ArgumentText : public testing::TestWithParam<ArgumentCase> {};

TEST_P(ArgumentText, DropsOnlyTheProgramNameAndOneBlank) {
  EXPECT_EQ(ArgumentTextOf(GetParam().command_line), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ArgumentText,
    testing::Values(ArgumentCase{R"(tool.exe /EXTERNAL=Q7XCFG)", "/EXTERNAL=Q7XCFG"},
                    ArgumentCase{R"("C:\Program Files\Cfg\tool.exe" /LOGFILE="D:\a b.txt")",
                                 R"(/LOGFILE="D:\a b.txt")"},
                    ArgumentCase{R"("C:\Cfg\tool.exe"/EXTERNAL=SILENT)", "/EXTERNAL=SILENT"},
                    ArgumentCase{"tool.exe\t  /A  \"x\"  ", "  /A  \"x\"  "},
                    ArgumentCase{"tool.exe", ""}, ArgumentCase{"", ""}));

}  // namespace
