// Tests of the Linux runtime's log appends: only to a regular file, never held up.
// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "environment/native_runtime.h"
#include "errors/logs.h"
#include "support/fakes.h"

// A FIFO would hold the run until someone reads it and hand them the entries, a device would
// swallow them, a link to no file would make one where it points: each fails at once.
TEST(PosixRuntime, AppendsOnlyToARegularFileAndNeverWaits) {
  TempDir dir;
  NativeRuntime runtime(0, nullptr);
  const std::string fifo = dir / "fifo";
  const std::string link = dir / "link";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
  std::filesystem::create_symlink("none", link);
  const auto error_of = [&runtime](const std::string& path) {
    return AppendErrorNumber(runtime, path);
  };
  EXPECT_EQ(error_of(fifo), 75) << "no reader";
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  EXPECT_EQ(error_of(fifo), 75) << "a reader";
  char byte = 0;
  EXPECT_LE(read(reader, &byte, 1), 0);
  close(reader);
  EXPECT_EQ(error_of("/dev/zero"), 75);
  EXPECT_EQ(error_of(link), 70);
  EXPECT_EQ(NamesIn(dir.path()), (std::set<std::string>{"fifo", "link"}));
}

class PosixLogs : public ModuleTest {};

// The configuration log, an integrated run's named log and the service log alike.
TEST_F(PosixLogs, AFifoAtALogPathIsALogThatCannotBeWritten) {
  const std::string named = dir_ / "named";
  for (const std::string& path : {CfgLog(), named, runtime_.service_log = dir_ / "service"}) {
    ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
  }
  EXPECT_THROW(WriteCfgLog(module_, "entry"), RuntimeError);
  module_.state.IntegratedMode = true;
  runtime_.argument_text = "/EXTERNAL=Q7XCFG /LOGFILE=" + named;
  EXPECT_THROW(WriteCfgLog(module_, "entry"), RuntimeError);
  module_.state.SilentMode = true;
  ReportFault(module_, "fault");
  EXPECT_EQ(runtime_.standard_error, "! Fault Zaro_MainPictureExt_Config: fault\n");
}
