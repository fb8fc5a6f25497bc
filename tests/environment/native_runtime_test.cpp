#include "environment/native_runtime.h"

#include "errors/error.h"
#include "support/fakes.h"

namespace {

// Appending (code page, order, creating the file) is proven through the logs that use it.
TEST(NativeRuntime, AFailedAppendIsARuntimeErrorNamingItsCauseAndWritesNothing) {
  TempDir dir;
  NativeRuntime runtime(0, nullptr);
  const auto error_of = [&runtime](const std::string& path) {
    try {
      runtime.AppendToFile(path, "entry");
    } catch (const RuntimeError& error) {
      return error.number();
    }
    return 0;
  };
  EXPECT_EQ(error_of(dir / "missing/log.txt"), 76);
  EXPECT_EQ(error_of(""), 75);
  if (OnWindows()) {
    runtime.set_code_page(99);  // no such code page: the system converts nothing
    EXPECT_EQ(error_of(dir / "log.txt"), 5);
  }
  EXPECT_TRUE(NamesIn(dir.path()).empty());
}

// 65001 is Windows' "Use Unicode UTF-8 for worldwide language support". Windows refuses a
// default character there and converts nothing; Wine converts anyway.
TEST(NativeRuntime, AnsiTextFollowsTheSystemCodePage) {
  if (!OnWindows()) GTEST_SKIP() << "the code page is the system's on Windows only";
  NativeRuntime runtime(0, nullptr);
  runtime.set_conversion([](unsigned page, const wchar_t* wide, int length, char* bytes, int size,
                            const char* default_char) {
    if (page == 65001 && default_char != nullptr) return 0;
    return NativeRuntime::SystemConversion(page, wide, length, bytes, size, default_char);
  });
  const std::string text = "B\xC3\xA4r \xE2\x82\xAC \xE2\x86\x92";
  runtime.set_code_page(1252);
  EXPECT_EQ(runtime.AnsiText(text), "B\xE4r \x80 ?");
  runtime.set_code_page(65001);
  EXPECT_EQ(runtime.AnsiText(text), text);
}

TEST(NativeRuntime, EnvironmentBlockListsTheVariablesButNotTheDrivesCurrentFolders) {
  const wchar_t block[] = L"=C:=C:\\Anlage\0=::=::\\\0USER=J\u00F6rg\0=D:=D:\\\0Path=C:\\x\0";
  EXPECT_EQ(NativeRuntime::EnvironmentOfBlock(block),
            (std::vector<std::string>{"USER=J\xC3\xB6rg", "Path=C:\\x"}));
}

}  // namespace
