// kvmaint get and send against kvsim: the backup file, and a dozen edits that
// must reach the instrument exactly and read back the same.
#include <gmock/gmock.h>
#include <gtest/gtest.h>


#include "kvmaint/harness/inprocess_support.h"
#include "files/kvd_writer.h"
#include "model/instrument_settings.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;
using ::testing::UnorderedElementsAreArray;

using InstrumentTest = SimulatorTest;

TEST_F(InstrumentTest, GetWritesDatedBackupsThatDecodeTo341Lines) {
  const std::string log = dir.File("session.log");
  WriteBytes(log, "an older session\n");
  const ProgramResult first = Run({"get", "--log", log});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  const std::string logged = ReadBytes(log);
  EXPECT_THAT(logged, HasSubstr("> : [STX]0000VP,R,")) << "every line sent is logged";
  EXPECT_THAT(logged, ::testing::Not(HasSubstr("an older session"))) << "the log starts afresh";
  const std::string path = Lines(first.out).at(0);
  EXPECT_EQ(std::filesystem::path(path).parent_path(), dir.Dir() / "data" / "Backup");
  EXPECT_THAT(std::filesystem::path(path).filename().string(), ::testing::MatchesRegex("[0-9]{8}\\.kvd"));

  const ProgramResult decoded = Kvmaint({"decode", path});
  EXPECT_EQ(decoded.exitCode, 0) << decoded.err;
  EXPECT_EQ(Lines(decoded.out).size(), 341U);

  const ProgramResult second = Run({"get"});
  ASSERT_EQ(second.exitCode, 0) << second.err;
  EXPECT_EQ(Lines(second.out).at(0), path.substr(0, path.size() - 4) + "_1.kvd");
  EXPECT_EQ(ReadBytes(Lines(second.out).at(0)), ReadBytes(path)) << "nothing changed in between";
}

TEST_F(InstrumentTest, GetRefusesWhenEveryBackupNameOfTheDayIsTaken) {
  const ProgramResult first = Run({"get"});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  const std::string path = Lines(first.out).at(0);
  const std::string stem = path.substr(0, path.size() - 4);
  for (int number = 1; number < 100; ++number) {
    WriteBytes(stem + "_" + std::to_string(number) + ".kvd", "taken");
  }
  const ProgramResult full = Run({"get"});
  EXPECT_EQ(full.exitCode, 2);
  EXPECT_THAT(full.err, HasSubstr("100 backup names"));
  EXPECT_EQ(ReadBytes(stem + "_99.kvd"), "taken");
}

// The edits a technician might make: a gas name, levels, list entries, a PID
// entry, a conversion entry, the interval, the password...
void MakeEdits(clsInstrument& r) {
  EXPECT_TRUE(r.SetGasName(4, "NH3"));
  EXPECT_TRUE(r.SetAlarm(3, r.Alarm(3) + 10));
  EXPECT_TRUE(r.SetWarning(0, r.Warning(0) + 1));
  EXPECT_TRUE(r.SetXS_(5, "PUMP HOUSE 7"));
  EXPECT_TRUE(r.SetXZ_(2, "B.JONES"));
  r.SetPIDName(3, "TOL");
  r.SetPIDLongName(3, "TOLUENE TEST");
  r.SetPIDWarn(3, 0, r.PIDWarn(3, 0) + 5);
  EXPECT_TRUE(r.SetLB_longname(2, "PROPANE TEST"));
  EXPECT_TRUE(r.SetLB_fc(2, 0x123));
  r.SetIntervals(r.Intervals() == 180 ? 300 : 180);
  r.SetPassword("1357");
  r.SetLcdContrast(static_cast<Integer>(r.LcdContrast() == 5 ? 6 : 5));
  EXPECT_TRUE(r.SetG1_(1, "BUTANE MIX"));
}

TEST_F(InstrumentTest, SendMakesTheInstrumentHoldExactlyTheEdits) {
  const std::string original = dir.File("original.kvd");
  const ProgramResult read = Run({"get", "--output", original});
  ASSERT_EQ(read.exitCode, 0) << read.err;

  clsInstrument edited = LoadRecord(original);
  MakeEdits(edited);
  const std::string editedFile = dir.File("edited.kvd");
  ASSERT_TRUE(WriteMaintenanceFile(edited, editedFile).ok);
  const clsInstrument before = LoadRecord(original);
  const clsInstrument intended = LoadRecord(editedFile);
  ASSERT_EQ(DifferingSettings(before, intended).size(), 14U)
      << "each edit survives the file: " << ::testing::PrintToString(DifferingSettings(before, intended));

  const ProgramResult sent = Run({"send", "--verbose", editedFile});
  ASSERT_EQ(sent.exitCode, 0) << sent.err;
  const std::vector<std::string> lines = Lines(sent.out);
  for (const char* label : {"XS,W,06", "XZ,W,03", "GN,W", "A2,W", "XP,W", "AQ,W", "LS,W,03", "LJ,W,03",
                            "LB,W,02", "G1,W,1", "XV,W"}) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), label), lines.end()) << label;
  }

  // A second read sees every edit.
  const std::string reread = dir.File("reread.kvd");
  const ProgramResult again = Run({"get", "--output", reread});
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(DifferingSettings(intended, LoadRecord(reread)), std::vector<std::string>{});

  // The instrument itself holds the intended settings, field by field.
  ASSERT_EQ(sim.Stop(), 0);
  const clsInstrument held = LoadRecord(dir.File("state-out.kvd"));
  for (const SettingInfo& setting : AllSettings()) {
    for (int i = 0; i < setting.count; ++i) {
      EXPECT_EQ(setting.get(held, i), setting.get(intended, i)) << setting.name << "(" << i << ")";
    }
  }
}

TEST_F(InstrumentTest, SendChecksTheFileBeforeTouchingThePort) {
  const std::string original = dir.File("original.kvd");
  ASSERT_EQ(Run({"get", "--output", original}).exitCode, 0);
  std::string bytes = ReadBytes(original);
  bytes.insert(bytes.find("\r\n") + 2, "not a record\r\n");  // line 2
  const std::string broken = dir.File("broken.kvd");
  WriteBytes(broken, bytes);

  for (const std::string& file : {broken, dir.File("missing.kvd")}) {
    const ProgramResult sent = Run({"send", file, "--log", dir.File("session.log")});
    EXPECT_EQ(sent.exitCode, 2) << file;
    EXPECT_THAT(sent.err, HasSubstr(file));
    EXPECT_EQ(sent.out, "") << "nothing sent";
    EXPECT_FALSE(std::filesystem::exists(dir.File("session.log"))) << "the port was never opened";
  }
}

// kvsim counts replies from the connect probe's (1); the read takes 2 to 201,
// so 202 answers the first line of the upload.
TEST(SendFailureTest, ARefusedLineEndsTheUploadWithExitOne) {
  TempDir dir;
  std::string file;
  {
    Simulator clean;
    file = dir.File("settings.kvd");
    ASSERT_EQ(Kvmaint({"get", "--port", clean.Device(), "--output", file}).exitCode, 0);
  }
  Simulator sim({"--corrupt", "202", "--corrupt", "203", "--corrupt", "204", "--corrupt", "205"});
  const ProgramResult sent = Kvmaint({"send", "--verbose", file, "--port", sim.Device()});
  EXPECT_EQ(sent.exitCode, 1);
  EXPECT_EQ(sent.out, "XZ,W,01\n") << "the one line sent";
  EXPECT_THAT(sent.err, HasSubstr("send failed at User 1 (\"XZ,W,01,"));
  EXPECT_THAT(sent.err, HasSubstr("refused"));
}

}  // namespace
}  // namespace kv::inproc
