// kvmaint set on a file read from kvsim, with settings named as kvmaint
// prints them. (Refused names: technician_test.cpp.)
#include <gtest/gtest.h>

#include <functional>

#include "kvmaint/harness/inprocess_support.h"

namespace kv::inproc {
namespace {

// kvsim's settings as a maintenance data file, read once.
const std::string& ReadFromSimulator() {
  static TempDir dir;
  static const std::string path = [] {
    const std::string file = dir.File("read.kvd");
    Simulator sim;
    if (sim.Device().empty()) return std::string();
    const ProgramResult read = Kvmaint({"get", "--port", sim.Device(), "--output", file});
    return read.exitCode == 0 ? file : std::string();
  }();
  return path;
}

struct PrintedNameEdit {
  const char* name;
  std::string edit;
  std::function<bool(const clsInstrument&)> holds;  // the edited record has it

  friend void PrintTo(const PrintedNameEdit& c, std::ostream* os) { *os << c.name; }
};

class SetByPrintedNameTest : public ::testing::TestWithParam<PrintedNameEdit> {};

TEST_P(SetByPrintedNameTest, ReachesTheFile) {
  ASSERT_FALSE(ReadFromSimulator().empty());
  TempDir dir;
  const std::string file = dir.File("edited.kvd");
  WriteBytes(file, ReadBytes(ReadFromSimulator()));
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
                        [](const clsInstrument& r) { return r.PIDWarn(0, 0) == 12.0f; }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::inproc
