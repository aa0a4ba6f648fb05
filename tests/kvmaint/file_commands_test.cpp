// kvmaint's file commands (decode, encode, diff), its usage errors and help.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kvmaint/harness/inprocess_support.h"
#include "files/kvd_writer.h"
#include "files/scramble.h"
#include "link/transactions.h"

namespace kv::inproc {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A record with a few settings away from their reset values.
clsInstrument SampleRecord() {
  clsInstrument r;
  EXPECT_TRUE(r.SetGasName(4, "IR"));
  EXPECT_TRUE(r.SetGasPoint(2, 1));
  EXPECT_TRUE(r.SetWarning(2, 12.5f));
  EXPECT_TRUE(r.SetXS_(5, "NORTH GATE"));
  r.SetAlarmMode(1);
  return r;
}

std::string Joined(const std::vector<std::string>& lines, const std::string& end) {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

class FileCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.Ok());
    record = SampleRecord();
    file = dir.File("sample.kvd");
    ASSERT_TRUE(WriteMaintenanceFile(record, file).ok);
    texts = MaintenanceRecordTexts(record);
  }

  TempDir dir;
  clsInstrument record;
  std::string file;
  std::vector<std::string> texts;
};

TEST_F(FileCommandsTest, DecodePrintsEveryRecordTextAndEncodeRebuildsTheFile) {
  const ProgramResult decoded = Kvmaint({"decode", file});
  ASSERT_EQ(decoded.exitCode, 0) << decoded.err;
  EXPECT_EQ(decoded.out, Joined(texts, "\n")) << "record texts in file order, LF line ends";

  for (const std::string end : {"\n", "\r\n"}) {
    const std::string plain = dir.File("plain.txt");
    const std::string rebuilt = dir.File("rebuilt.kvd");
    WriteBytes(plain, Joined(texts, end));
    const ProgramResult encoded = Kvmaint({"encode", plain, "--output", rebuilt});
    ASSERT_EQ(encoded.exitCode, 0) << encoded.err;
    EXPECT_EQ(ReadBytes(rebuilt), ReadBytes(file)) << "line ends of the text file: " << (end.size() == 2 ? "CR LF" : "LF");
  }
}

TEST_F(FileCommandsTest, DecodeKeepsBytesAboveAscii) {
  const std::string plain = dir.File("latin1.txt");
  const std::string kvd = dir.File("latin1.kvd");
  const std::string text = "XS,W,01,M\xDC" "NCHEN \xB0" "C,\n";  // Latin-1 bytes
  WriteBytes(plain, text);
  ASSERT_EQ(Kvmaint({"encode", plain, "--output", kvd}).exitCode, 0);
  const ProgramResult decoded = Kvmaint({"decode", kvd});
  EXPECT_EQ(decoded.exitCode, 0) << decoded.err;
  EXPECT_EQ(decoded.out, text);
}

// A file damaged at line 100: decode prints the 99 lines before it and says
// where it stopped.
struct Damage {
  const char* what;
  std::string line;  // as it stands in the file

  friend void PrintTo(const Damage& d, std::ostream* os) { *os << d.what; }
};

class DamagedFileTest : public FileCommandsTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedFileTest, DecodePrintsWhatItCouldAndNamesTheLine) {
  std::vector<std::string> lines = Lines(ReadBytes(file));
  for (std::string& line : lines) line.pop_back();  // the CR
  lines[99] = GetParam().line;
  const std::string damaged = dir.File("damaged.kvd");
  WriteBytes(damaged, Joined(lines, "\r\n"));

  const ProgramResult decoded = Kvmaint({"decode", damaged});
  EXPECT_EQ(decoded.exitCode, 2);
  EXPECT_EQ(decoded.out, Joined({texts.begin(), texts.begin() + 99}, "\n"));
  EXPECT_THAT(decoded.err, HasSubstr(damaged + ":100:"));
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedFileTest,
    ::testing::Values(Damage{"index that is no number", ScrambleLine("XS,W,ZZ,NOWHERE,")},
                      Damage{"line that was never scrambled", "hello world"},
                      Damage{"station index outside the list", ScrambleLine("XS,W,FF,FAR AWAY,")}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(FileCommandsTest, DiffExitStatusAndOneLinePerDifferingSetting) {
  clsInstrument changed = record;
  EXPECT_TRUE(changed.SetGasName(4, "NH3"));
  EXPECT_TRUE(changed.SetWarning(2, 15.0f));
  EXPECT_TRUE(changed.SetXS_(5, "SOUTH GATE"));
  changed.SetAlarmMode(2);
  const std::string other = dir.File("other.kvd");
  ASSERT_TRUE(WriteMaintenanceFile(changed, other).ok);

  const ProgramResult same = Kvmaint({"diff", file, file});
  EXPECT_EQ(same.exitCode, 0) << same.err;
  EXPECT_EQ(same.out, "");

  const ProgramResult different = Kvmaint({"diff", file, other});
  EXPECT_EQ(different.exitCode, 1) << different.err;
  EXPECT_THAT(Lines(different.out),
              ElementsAre("Alarm Latching: 1 -> 2", "IR name: IR -> NH3",
                          "H2S warning level: 12.5 vol% -> 15.0 vol%",
                          "Station 6: NORTH GATE -> SOUTH GATE"));
}

TEST_F(FileCommandsTest, DiffOfAFileThatCannotBeUsedIsAFileError) {
  const std::string missing = dir.File("missing.kvd");
  const ProgramResult absent = Kvmaint({"diff", file, missing});
  EXPECT_EQ(absent.exitCode, 2);
  EXPECT_THAT(absent.err, HasSubstr(missing));

  const std::string broken = dir.File("broken.kvd");
  WriteBytes(broken, ScrambleLine("AP,W,1,") + "\r\n" +
                         ScrambleLine("XZ,W,QQ,X,") + "\r\n");
  const ProgramResult stops = Kvmaint({"diff", broken, file});
  EXPECT_EQ(stops.exitCode, 2);
  EXPECT_THAT(stops.err, HasSubstr(broken + ":2:"));
  EXPECT_EQ(stops.out, "");
}

TEST_F(FileCommandsTest, EncodeRefusesATextTooLongToScramble) {
  const std::string plain = dir.File("long.txt");
  WriteBytes(plain, "AP,W,1,\n" + std::string(4000, '\xFF') + "\n");
  const std::string output = dir.File("long.kvd");
  const ProgramResult encoded = Kvmaint({"encode", plain, "--output", output});
  EXPECT_EQ(encoded.exitCode, 2);
  EXPECT_THAT(encoded.err, HasSubstr(plain + ":2:"));
  EXPECT_FALSE(std::filesystem::exists(output)) << "nothing is written";
}

struct UsageCase {
  std::vector<std::string> args;

  friend void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << "kvmaint";
    for (const std::string& arg : c.args) *os << ' ' << arg;
  }
};

class UsageErrorTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrorTest, ExitsTwoWithAUsageLine) {
  const ProgramResult result = Kvmaint(GetParam().args);
  EXPECT_EQ(result.exitCode, 2) << result.err;
  EXPECT_THAT(result.err, HasSubstr("usage: kvmaint"));
  EXPECT_EQ(result.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, UsageErrorTest,
    ::testing::Values(UsageCase{{}}, UsageCase{{"frobnicate"}}, UsageCase{{"decode"}},
                      UsageCase{{"decode", "a.kvd", "b.kvd"}}, UsageCase{{"diff", "a.kvd"}},
                      UsageCase{{"encode", "plain.txt"}}, UsageCase{{"decode", "--bogus", "a.kvd"}},
                      UsageCase{{"get", "--timeout", "soon", "--port", "/dev/null"}},
                      UsageCase{{"get", "--timeout", "1.5", "--port", "/dev/null"}},
                      UsageCase{{"get", "--retry", "-1", "--port", "/dev/null"}},
                      UsageCase{{"live", "--count", "x", "--port", "/dev/null"}},
                      UsageCase{{"send", "--port", "/dev/null"}}, UsageCase{{"get", "--output"}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(KvmaintHelpTest, HelpVersionAndThePollBoundOfTheServiceCommands) {
  const ProgramResult help = Kvmaint({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* command : {"decode", "encode", "diff", "ports", "get", "send", "power-off",
                              "set-clock", "clear-log", "zero", "live"}) {
    EXPECT_THAT(help.out, HasSubstr(std::string("  ") + command)) << command;
  }
  const ProgramResult version = Kvmaint({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_THAT(version.out, HasSubstr("kvmaint "));
  for (const char* command : {"zero", "clear-log"}) {
    const ProgramResult commandHelp = Kvmaint({command, "--help"});
    EXPECT_EQ(commandHelp.exitCode, 0);
    EXPECT_THAT(commandHelp.out, HasSubstr(std::to_string(kCompletionPollLimitSeconds) + " s"))
        << command;
  }
}

}  // namespace
}  // namespace kv::inproc
