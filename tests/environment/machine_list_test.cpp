// Tests of the machine list.
// SPDX-License-Identifier: MIT
#include "environment/machine_list.h"

#include "support/fakes.h"

using Names = std::vector<std::string>;

class MachineList : public ModuleTest {};

TEST_F(MachineList, IntegratedReadsNamesUntilADashOrEmptyValueAndAtMostFive) {
  module_.state.IntegratedMode = true;
  GetExistingMachines(module_, "");
  const std::string central = Put("parameter/q7xconfiguration.ini", "[Common]\r\nNameM2=B\r\n");
  GetExistingMachines(module_, central);
  EXPECT_TRUE(module_.state.MachineNames.empty());
  Put("parameter/q7xconfiguration.ini", "[Common]\r\nNameM1=A\r\nNameM2=-\r\nNameM3=C\r\n");
  GetExistingMachines(module_, central);
  EXPECT_EQ(module_.state.MachineNames, (Names{"", "A"}));
  Put("parameter/q7xconfiguration.ini",
      "[Common]\r\nNameM1=A\r\nNameM2=B\r\nNameM3=C\r\nNameM4=D\r\nNameM5=E\r\nNameM6=F\r\n");
  GetExistingMachines(module_, central);
  EXPECT_EQ(module_.state.MachineNames, (Names{"", "A", "B", "C", "D", "E"}));
}

TEST_F(MachineList, StandaloneAndSilentReadTheCountedNamesFromProgramIni) {
  GetExistingMachines(module_, "");  // no program.ini
  EXPECT_EQ(module_.state.ProgramIniPath, "");
  const std::string local = Put("parameter/Program.ini", "[Project]\r\nNumberOfMachines=0\r\n");
  GetExistingMachines(module_, "");
  EXPECT_TRUE(module_.state.MachineNames.empty());

  module_.state.SilentMode = true;
  Put("parameter/Program.ini",
      "[Project]\r\nNumberOfMachines=3\r\n[Machine1]\r\nMachineName=M1\r\n"
      "[Machine3]\r\nMachineName=-\r\n");
  GetExistingMachines(module_, "");
  EXPECT_EQ(module_.state.ProgramIniPath, local);
  EXPECT_EQ(module_.state.MachineNames, (Names{"", "M1", "", "-"}));
}
