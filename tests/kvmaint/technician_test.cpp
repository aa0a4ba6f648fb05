// kvmaint as a technician uses it, against the simulated instrument: only the changed groups
// sent, confirmations, channel tables, the CSV log, the instrument switched
// off, and editing a file by setting name.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <set>

#include "kvmaint/harness/inprocess_support.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

TEST(OnlyChangesTest, WritesOnlyTheChangedGroupsAFractionOfAFullSendsBytes) {
  TempDir dir;
  const std::string trace = dir.File("trace.txt");
  Simulator sim({"--baud", "9600", "--trace", trace});
  ASSERT_FALSE(sim.Device().empty());
  const std::string file = dir.File("edited.kvd");
  const ProgramResult read = Kvmaint({"get", "--port", sim.Device(), "--output", file});
  ASSERT_EQ(read.exitCode, 0) << read.err;
  const ProgramResult edited =
      Kvmaint({"set", file, "LcdBackLight=30", "CO.Warning=35", "XS_[2]=HELLO"});
  ASSERT_EQ(edited.exitCode, 0) << edited.err;

  const std::size_t traceBefore = ReadBytes(trace).size();
  const ProgramResult changes =
      Kvmaint({"send", "--only-changes", "--port", sim.Device(), file});
  ASSERT_EQ(changes.exitCode, 0) << changes.err;
  EXPECT_EQ(Lines(changes.out).size(), 4U) << "three differing settings and the summary:\n" << changes.out;
  const std::string changesTrace = ReadBytes(trace).substr(traceBefore);
  EXPECT_EQ(WrittenCodes(changesTrace), (std::set<std::string>{"XT", "A1", "XS", "XV"}));

  const std::size_t traceBeforeFull = ReadBytes(trace).size();
  const ProgramResult full = Kvmaint({"send", "--port", sim.Device(), file});
  ASSERT_EQ(full.exitCode, 0) << full.err;
  const std::string fullTrace = ReadBytes(trace).substr(traceBeforeFull);
  // The time at 9600 baud follows the bytes written; bench/only_changes_bench.py
  // times both sends.
  ASSERT_GT(WrittenBytes(fullTrace), 0U);
  EXPECT_LT(WrittenBytes(changesTrace) * 10, WrittenBytes(fullTrace));
}

struct ConfirmCase {
  const char* name;
  std::vector<std::string> args;
  int exitCode;
  bool sent;

  friend void PrintTo(const ConfirmCase& c, std::ostream* os) { *os << c.name; }
};

class ConfirmTest : public ::testing::TestWithParam<ConfirmCase> {};

// kvmaint runs here without a terminal on stdin: none to ask on.
TEST_P(ConfirmTest, WithoutATerminalOnlyYesLetsItRun) {
  TempDir dir;
  const std::string trace = dir.File("trace.txt");
  Simulator sim({"--busy-polls", "0", "--trace", trace});
  ASSERT_FALSE(sim.Device().empty());
  std::vector<std::string> args = GetParam().args;
  args.insert(args.end(), {"--port", sim.Device()});
  const ProgramResult result = Kvmaint(args);
  EXPECT_EQ(result.exitCode, GetParam().exitCode) << result.err;
  ASSERT_EQ(sim.Stop(), 0);
  if (GetParam().sent) {
    EXPECT_THAT(ReadBytes(trace), HasSubstr("> "));
  } else {
    EXPECT_EQ(ReadBytes(trace), "") << "nothing reaches the instrument";
    EXPECT_THAT(result.err, HasSubstr("--yes"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ConfirmTest,
    ::testing::Values(ConfirmCase{"ClearLogRefused", {"clear-log"}, 2, false},
                      ConfirmCase{"ClearLogWithYes", {"clear-log", "--yes"}, 0, true},
                      ConfirmCase{"PowerOffRefused", {"power-off"}, 2, false},
                      ConfirmCase{"PowerOffWithYes", {"power-off", "--yes"}, 0, true},
                      // Only in clean air, only with the span gas applied.
                      ConfirmCase{"ZeroRefused", {"zero"}, 2, false},
                      ConfirmCase{"SpanRefused", {"span"}, 2, false},
                      ConfirmCase{"ZeroWithYes", {"zero", "--yes"}, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChannelTableTest, ZeroNamesEachChannelByItsGas) {
  Simulator sim;
  ASSERT_FALSE(sim.Device().empty());
  const ProgramResult result = Kvmaint({"zero", "--yes", "--port", sim.Device()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::vector<std::string> lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 7U) << result.out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    // Number, a gas name of letters and digits, the status digit.
    EXPECT_THAT(lines[i], MatchesRegex(std::to_string(i + 1) + "  [A-Z0-9-]+ +[0-9-]")) << lines[i];
  }
  EXPECT_THAT(lines[1], HasSubstr(" OXY ")) << "the oxygen channel, as the grids name it";
}

TEST(LiveCsvTest, LogsAHeaderAndOneTimedRowPerPollIntoANewFileOnly) {
  TempDir dir;
  Simulator sim;
  ASSERT_FALSE(sim.Device().empty());
  const std::string csv = dir.File("live.csv");
  const ProgramResult result = Kvmaint({"live", "--count", "3", "--csv", csv, "--port", sim.Device()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out).size(), 3U) << "stdout keeps its readings";
  const std::string logged = ReadBytes(csv);
  const std::vector<std::string> rows = Lines(logged);
  ASSERT_EQ(rows.size(), 4U) << logged;
  EXPECT_THAT(rows[0], MatchesRegex("time(,[^,]+){7}\r?"));
  for (std::size_t i = 1; i < rows.size(); ++i) {
    EXPECT_THAT(rows[i], MatchesRegex("[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9:]{8}(,[^,]+){7}\r?")) << rows[i];
  }

  // Another run never overwrites the log.
  const ProgramResult again = Kvmaint({"live", "--count", "1", "--csv", csv, "--port", sim.Device()});
  EXPECT_EQ(again.exitCode, 2);
  EXPECT_EQ(ReadBytes(csv), logged);
}

TEST(PowerOffTest, AfterPowerOffNoInstrumentAnswersUntilSwitchedOn) {
  Simulator sim;
  ASSERT_FALSE(sim.Device().empty());
  ASSERT_EQ(Kvmaint({"power-off", "--yes", "--port", sim.Device()}).exitCode, 0);
  const ProgramResult off = Kvmaint({"get", "--port", sim.Device(), "--retry", "1", "--timeout", "1",
                                     "--output", "/dev/null"});
  EXPECT_EQ(off.exitCode, 1);
  EXPECT_THAT(off.err, HasSubstr("KORVIN No Response. Check Port,Cable And Power."));

  sim.Signal(SIGUSR1);
  const ProgramResult on = Kvmaint({"zero", "--yes", "--port", sim.Device()});
  EXPECT_EQ(on.exitCode, 0) << on.err;
}

TEST(PowerOffTest, ThePowerOnDelaySwitchesItOnByItself) {
  Simulator sim({"--power-on-after", "1"});
  ASSERT_FALSE(sim.Device().empty());
  ASSERT_EQ(Kvmaint({"power-off", "--yes", "--port", sim.Device()}).exitCode, 0);
  sim.LetTimePass(1500);
  const ProgramResult on = Kvmaint({"zero", "--yes", "--port", sim.Device()});
  EXPECT_EQ(on.exitCode, 0) << on.err;
}

class SetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Simulator sim;
    ASSERT_FALSE(sim.Device().empty());
    const ProgramResult read = Kvmaint({"get", "--port", sim.Device(), "--output", file});
    ASSERT_EQ(read.exitCode, 0) << read.err;
  }
  TempDir dir;
  const std::string file = dir.File("settings.kvd");
};

struct RefusedEdit {
  const char* name;
  std::vector<std::string> edits;
  std::string message;

  friend void PrintTo(const RefusedEdit& c, std::ostream* os) { *os << c.name; }
};

class SetRefusedTest : public SetTest, public ::testing::WithParamInterface<RefusedEdit> {};

TEST_P(SetRefusedTest, LeavesTheFileAsItWasAndSaysWhy) {
  const std::string before = ReadBytes(file);
  std::vector<std::string> args{"set", file};
  args.insert(args.end(), GetParam().edits.begin(), GetParam().edits.end());
  const ProgramResult result = Kvmaint(args);
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_THAT(result.err, HasSubstr(GetParam().message));
  EXPECT_EQ(ReadBytes(file), before);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, SetRefusedTest,
    ::testing::Values(
        RefusedEdit{"OutOfRange", {"LcdContrast=999"}, "LcdContrast: \"999\" refused: accepts 0 to"},
        // The first edit is good; the file still stays as it was.
        RefusedEdit{"LevelAboveFullScale", {"LcdBackLight=30", "CO.Warning=99999"},
                    "CO.Warning: \"99999\" refused: accepts 0 to"},
        RefusedEdit{"UnknownName", {"NoSuchSetting=1"}, "no setting is called \"NoSuchSetting\""},
        RefusedEdit{"ChannelMissing", {"Warning=5"}, "ch1..ch7 or the channel's gas name"},
        RefusedEdit{"NotAnEdit", {"LcdContrast"}, "is not NAME=VALUE"},
        // kvsim's first channel measures CH4: "ch4" names it and channel 4.
        RefusedEdit{"AmbiguousPrintedName", {"LCD Contrast(0-15)=3", "ch4 warning level=5"},
                    "give one of \"channel 1 warning level\", \"channel 4 warning level\""},
        RefusedEdit{"PrintedNameCutShort", {"LCD Contrast=3"}, "near names: \"LCD Contrast(0-15)\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetTest, AcceptedEditsReachTheFileByGasOrChannelNumber) {
  const ProgramResult result = Kvmaint({"set", file, "co.warning=35", "ch4.Alarm=60", "XS_[2]=HELLO"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const clsInstrument record = LoadRecord(file);
  EXPECT_FLOAT_EQ(record.Warning(3), 35.0f);
  EXPECT_FLOAT_EQ(record.Alarm(3), 60.0f);
  EXPECT_EQ(record.XS_(1).substr(0, 5), "HELLO");
}

}  // namespace
}  // namespace kv::inproc
