#include "environment/native_runtime.h"

#include <unistd.h>

#include "errors/error.h"
#include "support/fakes.h"

extern char** environ;

namespace {

TEST(NativeRuntime, KnowsTheProgramAndItsStart) {
  const char* argv[] = {"ignored", "/EXTERNAL=Q7XCFG", "/LOGFILE=/var/log/My Log.txt"};
  const NativeRuntime runtime(3, argv);
  // Windows hands over its own command line, not argv (ArgumentTextOf has the rules).
  if (!OnWindows()) {
    EXPECT_EQ(runtime.ArgumentText(), "/EXTERNAL=Q7XCFG /LOGFILE=/var/log/My Log.txt");
  }
  const char separator = SeparatorOf(runtime.path_style());
  EXPECT_EQ(runtime.ProgramFilePath().rfind(
                runtime.ProgramFolder() + separator + runtime.ProgramName(), 0),
            0U);
  EXPECT_TRUE(runtime.IsOrdinaryFile(runtime.ProgramFilePath()));
  EXPECT_EQ(runtime.EnvironmentString(1), environ[0] != nullptr ? environ[0] : "");
  EXPECT_EQ(runtime.EnvironmentString(0), "");
  EXPECT_EQ(runtime.EnvironmentString(1 << 20), "");
  EXPECT_EQ(runtime.Version().revision, 3);
}

TEST(NativeRuntime, AppendsInWindows1252AndNamesTheFailure) {
  TempDir dir;
  NativeRuntime runtime(0, nullptr);
  runtime.AppendToFile(dir / "log.txt",
                       "Gr\xC3\xBC\xC3\x9F"
                       "e\r\n");
  runtime.AppendToFile(dir / "log.txt", "\xE2\x86\x92\r\n");
  EXPECT_EQ(ReadBytes(dir / "log.txt"),
            "Gr\xFC\xDF"
            "e\r\n?\r\n");
  try {
    runtime.AppendToFile(dir / "missing/log.txt", "x");
    FAIL() << "no folder, no log";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), 76);
    EXPECT_EQ(error.description(), "Path not found");
    EXPECT_EQ(error.source(), runtime.ProgramName());
  }
  EXPECT_THROW(runtime.AppendToFile(dir.path().string(), "x"), RuntimeError);
  EXPECT_THROW(runtime.AppendToFile("", "x"), RuntimeError);
}

}  // namespace
