#include "environment/native_runtime.h"

#include "errors/error.h"
#include "support/fakes.h"

namespace {

// Appending (code page, order, creating the file) is proven through the logs that use it.
TEST(NativeRuntime, AFailedAppendIsARuntimeErrorNamingItsCause) {
  TempDir dir;
  NativeRuntime runtime(0, nullptr);
  try {
    runtime.AppendToFile(dir / "missing/log.txt", "x");
    FAIL() << "no folder, no log";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), 76);
    EXPECT_EQ(error.description(), "Path not found");
  }
  EXPECT_THROW(runtime.AppendToFile("", "x"), RuntimeError);
}

}  // namespace
