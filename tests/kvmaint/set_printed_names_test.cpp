// kvmaint set on a file read from kvsim, with settings named as kvmaint
// prints them. (Refused names: technician_test.cpp.)
#include <gtest/gtest.h>

#include <functional>

#include "kvmaint/harness/inprocess_support.h"

namespace kv::inproc {
namespace {


struct PrintedNameEdit {
  const char* name;
  std::string edit;
  std::function<bool(const clsInstrument&)> holds;  // the edited record has it

  friend void PrintTo(const PrintedNameEdit& c, std::ostream* os) { *os << c.name; }
};

class SetByPrintedNameTest : public ::testing::TestWithParam<PrintedNameEdit> {};

TEST_P(SetByPrintedNameTest, ReachesTheFile) {
  ASSERT_FALSE(SimulatorSettingsFile().empty());
  TempDir dir;
  const std::string file = dir.File("edited.kvd");
  WriteBytes(file, ReadBytes(SimulatorSettingsFile()));
  const ProgramResult result = Kvmaint({"set", file, GetParam().edit});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(GetParam().holds(LoadRecord(file))) << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Names, SetByPrintedNameTest,
    ::testing::Values(
        PrintedNameEdit{"GlobalCaption", "LCD Contrast(0-15)=3",
                        [](const clsInstrument& r) { return r.LcdContrast() == 3; }},
        PrintedNameEdit{"ChannelByGasWithBlanks", " co  WARNING level =35",
                        [](const clsInstrument& r) { return r.Warning(3) == 35.0f; }},
        PrintedNameEdit{"ChannelByNumber", "channel 5 alarm level=1.5",
                        [](const clsInstrument& r) { return r.Alarm(4) == 1.5f; }},
        PrintedNameEdit{"ListEntry", "User 7=J.DOE",
                        [](const clsInstrument& r) { return r.XZ_(6).rfind("J.DOE", 0) == 0; }},
        PrintedNameEdit{"PidEntry", "PID 1 High Range 1st=12",
                        [](const clsInstrument& r) { return r.PIDWarn(0, 0) == 12.0f; }},
        // What the grids do after a choice follows it here too.
        PrintedNameEdit{"CatalyticGasFillsItsLongNameAndRatio", "STD1 name=HEX",
                        [](const clsInstrument& r) {
                          return r.GasName(0) == "HEX" && r.G1_(0).rfind("HEXANE", 0) == 0 &&
                                 r.FL_(0) == 12000;
                        }},
        PrintedNameEdit{"AlternateRange", "CO alternate range=On",
                        [](const clsInstrument& r) { return r.AltRng(3) == 1; }},
        PrintedNameEdit{"ZeroSuppress", "CO zero suppress=12",
                        [](const clsInstrument& r) { return r.ZeroForce(3) == 12; }},
        PrintedNameEdit{"MappingMovesTheChannel", "Output mapping 4=3",
                        [](const clsInstrument& r) {
                          // Channels 1 and 2 now show CO and no other gas.
                          bool elsewhere = false;
                          for (int slot = 0; slot < 7; ++slot) {
                            if (slot != 3 && (r.UG_(slot) & 3) != 0) elsewhere = true;
                          }
                          return r.UG_(3) == 3 && !elsewhere;
                        }}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedEdit {
  const char* name;
  std::string edit;
  std::string reason;
  friend void PrintTo(const RefusedEdit& c, std::ostream* os) { *os << c.name; }
};

class SetRefusesTest : public ::testing::TestWithParam<RefusedEdit> {};

// Refused as the grid refuses it, and the file left as it was.
TEST_P(SetRefusesTest, WithTheEditorsReason) {
  ASSERT_FALSE(SimulatorSettingsFile().empty());
  TempDir dir;
  const std::string file = dir.File("edited.kvd");
  const std::string before = ReadBytes(SimulatorSettingsFile());
  WriteBytes(file, before);
  const ProgramResult result = Kvmaint({"set", file, GetParam().edit});
  EXPECT_EQ(result.exitCode, 2) << result.out;
  EXPECT_NE(result.err.find(GetParam().reason), std::string::npos) << result.err;
  EXPECT_EQ(ReadBytes(file), before);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, SetRefusesTest,
    ::testing::Values(
        RefusedEdit{"GasNotInTheList", "STD1 name=XYZ", "one of: CH4, HEX, H2"},
        RefusedEdit{"SettingTheFileDoesNotHold", "Manufacture number=ABC",
                    "a maintenance file does not hold this setting"},
        RefusedEdit{"LevelOffItsStep", "LA_warn[31]=250",
                    "accepts only what it keeps: 250 becomes 200: levels go in steps of 100"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::inproc
