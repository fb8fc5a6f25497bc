#include "environment/machine_list.h"

#include "support/fakes.h"

namespace {

using Names = std::vector<std::string>;

class MachineList : public ModuleTest {
 protected:
  std::string Central(const std::string& entries) {
    return Put("parameter/q7xconfiguration.ini", "[Common]\r\n" + entries);
  }
};

TEST_F(MachineList, IntegratedStopsAtDashOrEmptyAndReadsAtMostFive) {
  module_.state.IntegratedMode = true;
  const std::string central =
      Central("NameM1=Line A\r\nNameM2=Line B\r\nNameM3=-\r\nNameM4=Line D\r\n");
  GetExistingMachines(module_, central);
  EXPECT_EQ(module_.state.MachineNames, (Names{"", "Line A", "Line B"}));

  module_.state.MachineNames.clear();
  Central("NameM1=A\r\nNameM2=B\r\nNameM3=C\r\nNameM4=D\r\nNameM5=E\r\nNameM6=F\r\n");
  GetExistingMachines(module_, central);
  EXPECT_EQ(module_.state.MachineNames, (Names{"", "A", "B", "C", "D", "E"}));

  module_.state.MachineNames.clear();
  Central("NameM2=B\r\n");
  GetExistingMachines(module_, central);
  EXPECT_TRUE(module_.state.MachineNames.empty());
  GetExistingMachines(module_, "");
  EXPECT_TRUE(module_.state.MachineNames.empty());
}

TEST_F(MachineList, StandaloneReadsProgramIniIncludingGaps) {
  const std::string local =
      Put("parameter/Program.ini",
          "[Project]\r\nNumberOfMachines=3\r\n[Machine1]\r\nMachineName=M1\r\n"
          "[Machine3]\r\nMachineName=-\r\n");
  // Silent runs take the names from program.ini as well.
  module_.state.SilentMode = true;
  GetExistingMachines(module_, "");
  EXPECT_EQ(module_.state.ProgramIniPath, local);
  EXPECT_EQ(module_.state.MachineNames, (Names{"", "M1", "", "-"}));
}

TEST_F(MachineList, StandaloneWithoutCountLeavesTheListUnallocated) {
  Put("parameter/Program.ini", "[Project]\r\nNumberOfMachines=0\r\n");
  GetExistingMachines(module_, "");
  EXPECT_TRUE(module_.state.MachineNames.empty());
  std::filesystem::remove(dir_ / "plant/parameter/Program.ini");
  GetExistingMachines(module_, "");
  EXPECT_TRUE(module_.state.MachineNames.empty());
  EXPECT_EQ(module_.state.ProgramIniPath, "");
}

TEST_F(MachineList, ValidMachinesIsReturnedAsStored) {
  Put("Zaro_MainPictureExt/Zaro_MainPictureExt.cfg", "[Project]\r\nValidMachines = 1;2, 3 \r\n");
  EXPECT_EQ(GetValidMachines(module_), "1;2, 3");
}

}  // namespace
