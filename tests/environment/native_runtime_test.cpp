// Tests of the platform runtime: a failed append is reported and writes nothing.
// SPDX-License-Identifier: MIT
#include "environment/native_runtime.h"

#include "errors/error.h"
#include "support/fakes.h"

// Appending (code page, order, creating the file) is proven through the logs that use it.
TEST(NativeRuntime, AFailedAppendIsARuntimeErrorNamingItsCauseAndWritesNothing) {
  TempDir dir;
  NativeRuntime runtime(0, nullptr);
  const auto error_of = [&runtime](const std::string& path) {
    return AppendErrorNumber(runtime, path);
  };
  EXPECT_EQ(error_of(dir / "missing/log.txt"), 76);
  EXPECT_EQ(error_of(""), 75);
  if (OnWindows()) {
    runtime.set_code_page(99);  // no such code page: the system converts nothing
    EXPECT_EQ(error_of(dir / "log.txt"), 5);
  }
  EXPECT_TRUE(NamesIn(dir.path()).empty());
}
