// Values a technician may type that the instrument would not hold as typed,
// driven through each way a value reaches a file or the instrument:
// `kvmaint set`, a CSV import, and a hand-edited maintenance file sent with
// `kvmaint send`. Each is refused with its reason, the file stays as it was
// byte for byte, and nothing is written to the instrument.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "kvmaint/harness/inprocess_support.h"
#include "files/kvd_writer.h"
#include "files/scramble.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;


// A maintenance file of `record` with one record text replaced as a hand
// edit would leave it (the writer refuses to make such a line itself).
std::string HandEdited(const clsInstrument& record, const std::string& head,
                       const std::string& replacement) {
  std::string bytes;
  for (const std::string& text : MaintenanceRecordTexts(record)) {
    bytes += ScrambleLine(text.rfind(head, 0) == 0 ? replacement : text) + "\r\n";
  }
  return bytes;
}

struct CsvEntry {
  std::string option;  // "--users"
  std::string bytes;
};

struct HostileValue {
  const char* name;
  std::string edit;  // NAME=VALUE for kvmaint set
  std::string setReason;
  std::optional<CsvEntry> csv;  // where a CSV table carries the setting
  std::string csvReason;
  // The hand-edited file of the record read from kvsim, where a file can
  // carry it (a level's field holds no status word: its code reads as 0).
  std::function<std::string(clsInstrument&)> kvd;
  std::string sendReason;

  friend void PrintTo(const HostileValue& c, std::ostream* os) { *os << c.name; }
};

const std::string kLevelReason = "accepts 0 to 500 or *****, ?????, -----";
const std::string kNameReason =
    "accepts up to 16 characters: printable ASCII except {, }, comma and semicolon";

std::function<std::string(clsInstrument&)> UserLine(const std::string& name) {
  return [name](clsInstrument& r) { return HandEdited(r, "XZ,W,07,", "XZ,W,07," + name + ","); };
}

std::string UsersCsv(const std::string& seventh) {
  std::string csv;
  for (int i = 1; i <= 6; ++i) csv += std::to_string(i) + ",USER " + std::to_string(i) + "\r\n";
  return csv + "7," + seventh + "\r\n";
}

const std::string kPidRow = "17,IBX,ISOBUTYLENE X,2000,1/1,ppm,1,100,200,150,50,100,";

std::vector<HostileValue> Cases() {
  return {
      {"StatusWordNormal", "CO warning level=NORMAL", kLevelReason, {}, "", {}, ""},
      {"StatusWordAlarm", "CO warning level=ALARM", kLevelReason, {}, "", {}, ""},
      {"StatusWordOver", "CO warning level=OVER", kLevelReason, {}, "", {}, ""},
      {"StatusCode", "CO warning level=-104", kLevelReason, {}, "", {}, ""},
      {"CommaInName", "User 7=J,DOE", kNameReason, CsvEntry{"--users", UsersCsv("J,DOE")}, kNameReason,
       UserLine("J,DOE"), "more fields than the XZ line holds"},
      {"SemicolonInName", "User 7=semi;colon", kNameReason,
       CsvEntry{"--users", UsersCsv("semi;colon")}, kNameReason, UserLine("semi;colon"), ""},
      {"ControlCharacter", "User 7=A\x01" "B", kNameReason, CsvEntry{"--users", UsersCsv("A\x01" "B")},
       kNameReason, UserLine("A\x01" "B"), ""},
      {"OverlongName", "User 7=ABCDEFGHIJKLMNOPQ", kNameReason,
       CsvEntry{"--users", UsersCsv("ABCDEFGHIJKLMNOPQ")}, kNameReason, UserLine("ABCDEFGHIJKLMNOPQ"),
       kNameReason},
      {"NonLatin1", "User 7=\xE2\x82\xAC" "uro", "holds U+20AC, a character outside Latin-1", {}, "", {}, ""},
      {"EmptyPidFactor", "PIDFactor[1].high=", "needs a value",
       CsvEntry{"--pid-high", kPidRow + "\r\n"}, "needs a value", {}, ""},
      {"NoLevelPidFactor", "PIDFactor[1].high=*****", "needs a value",
       CsvEntry{"--pid-high", kPidRow + "*****\r\n"}, "needs a value",
       [](clsInstrument& r) {
         r.SetPIDFactor(0, 0, -121);
         return MaintenanceFileText(r);
       },
       "is not a hexadecimal number"},
      {"FractionalPidFactor", "PIDFactor[1].high=1.24", "1.24 would be stored as 1.00",
       CsvEntry{"--pid-high", kPidRow + "1.24\r\n"}, "1.24 would be stored as 1.00", {}, ""},
      {"FractionalConversionFactor", "User conversion 1 factor=1.25", "1.25 would be stored as 1.00",
       CsvEntry{"--conversion", "1,IPA,ISOPROPANOL,1.25,200,400,2000,Normal\r\n"},
       "1.25 would be stored as 1.00", {}, ""},
      {"PidFullScaleBreaksItsRow", "PIDFullScale[1].high=500", "accepts 1/10 for this FullScale",
       CsvEntry{"--pid-high", "17,IBX,ISOBUTYLENE X,500,1/1,ppm,1,100,200,150,50,100,1.00\r\n"},
       "accepts 1/10 for this FullScale",
       [](clsInstrument& r) {
         r.SetPIDFullScale(0, 0, 500);
         return MaintenanceFileText(r);
       },
       "accepts 1/10 for this FullScale"},
      {"RatioBelowItsLevels", "LA_ratio[31]=100", "accepts 0 to 100",
       CsvEntry{"--conversion", "1,IPA,ISOPROPANOL,2,200,400,100,Normal\r\n"}, "accepts 0 to 100",
       [](clsInstrument& r) {
         (void)r.SetLA_ratio(30, 100);
         return MaintenanceFileText(r);
       },
       "accepts 0 to 100"},
  };
}

class HostileValueTest : public ::testing::TestWithParam<HostileValue> {
 protected:
  void SetUp() override {
    ASSERT_FALSE(SimulatorSettingsFile().empty()) << "no file read from kvsim";
    original = ReadBytes(SimulatorSettingsFile());
  }
  std::string original;
  TempDir dir;
};

TEST_P(HostileValueTest, KvmaintSetRefusesIt) {
  const std::string file = dir.File("edited.kvd");
  WriteBytes(file, original);
  const ProgramResult set = Kvmaint({"set", file, GetParam().edit});
  EXPECT_EQ(set.exitCode, 2) << set.out;
  EXPECT_THAT(set.err, HasSubstr(GetParam().setReason));
  EXPECT_EQ(ReadBytes(file), original) << "the file changed";
}

TEST_P(HostileValueTest, ACsvImportRefusesIt) {
  if (!GetParam().csv) GTEST_SKIP() << "no CSV table carries this setting";
  const std::string file = dir.File("edited.kvd");
  WriteBytes(file, original);
  const std::string csv = dir.File("in.csv");
  WriteBytes(csv, GetParam().csv->bytes);
  const ProgramResult imported = Kvmaint({"import-csv", GetParam().csv->option, file, csv});
  EXPECT_EQ(imported.exitCode, 1) << imported.out;
  EXPECT_THAT(imported.err, HasSubstr(GetParam().csvReason));
  EXPECT_EQ(ReadBytes(file), original) << "the file changed";
}

TEST_P(HostileValueTest, SendingAHandEditedFileWritesNothing) {
  if (!GetParam().kvd) GTEST_SKIP() << "a maintenance file cannot carry this value";
  clsInstrument record = LoadRecord(SimulatorSettingsFile());
  const std::string file = dir.File("hand-edited.kvd");
  const std::string bytes = GetParam().kvd(record);
  WriteBytes(file, bytes);
  const std::string trace = dir.File("trace.txt");
  Simulator sim({"--trace", trace});
  ASSERT_FALSE(sim.Device().empty());
  const ProgramResult sent =
      Kvmaint({"send", file, "--port", sim.Device(), "--data-dir", dir.File("data")});
  EXPECT_EQ(sent.exitCode, 2) << sent.out;
  EXPECT_THAT(sent.err, HasSubstr(GetParam().sendReason));
  EXPECT_THAT(sent.err, HasSubstr("nothing was sent"));
  EXPECT_EQ(ReadBytes(file), bytes);
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_TRUE(WrittenCodes(ReadBytes(trace)).empty()) << "a write line reached the instrument";
}

INSTANTIATE_TEST_SUITE_P(Values, HostileValueTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::inproc
