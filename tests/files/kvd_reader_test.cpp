#include "files/kvd_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "files/kvd_writer.h"
#include "files/record_apply.h"
#include "support/sample_record.h"
#include "files/scramble.h"
#include "support/temp_folder.h"
#include "model/instrument_settings.h"
#include "protocol/codecs.h"
#include "protocol/write_lines.h"

namespace kv {
namespace {

using testsupport::ReadBytes;
using testsupport::SampleRecord;
using testsupport::TempFolder;

std::string FileOf(const std::vector<std::string>& texts) {
  std::string file;
  for (const auto& text : texts) file += ScrambleLine(text) + "\r\n";
  return file;
}

std::string Describe(const SettingValue& value) {
  return std::visit(
      [](const auto& v) {
        if constexpr (std::is_same_v<std::decay_t<decltype(v)>, Text>) {
          return "\"" + v + "\"";
        } else {
          return std::to_string(v);
        }
      },
      value);
}

// Every setting whose value differs, as "Name[index]: a / b".
std::vector<std::string> Differences(const clsInstrument& a, const clsInstrument& b) {
  std::vector<std::string> differences;
  for (const auto& setting : AllSettings()) {
    for (int i = 0; i < setting.count; ++i) {
      const auto left = setting.get(a, i);
      const auto right = setting.get(b, i);
      if (left == right) continue;
      // An empty unit is written as index 0 and comes back as "vol%".
      const bool emptyUnit = setting.name.ends_with("Unit") && left == SettingValue{Text{}} &&
                             right == SettingValue{Text{"vol%"}};
      // The file marks the oxygen channel's zero suppress "@", which reads as 0.
      const bool oxygenZeroForce = setting.name == "ZeroForce" && i == 1;
      // Texts longer than their field are cut to its width (and trimmed).
      const bool cutText = std::holds_alternative<Text>(left) &&
                           std::get<Text>(left).starts_with(std::get<Text>(right)) &&
                           std::get<Text>(left).size() > std::get<Text>(right).size();
      if (emptyUnit || oxygenZeroForce || cutText) continue;
      differences.push_back(std::string(setting.name) + "[" + std::to_string(i) +
                            "]: " + Describe(left) + " / " + Describe(right));
    }
  }
  return differences;
}

// The record a file is loaded into already has its ratio channels, as the
// window's edit record has.
clsInstrument RecordToLoadInto() {
  clsInstrument r;
  SetRatioChannels(r);
  return r;
}

// The first line where two files differ, decoded, or "" when they are equal.
std::string FirstDifference(const std::string& a, const std::string& b) {
  std::string_view restA = a, restB = b;
  for (int line = 1; !restA.empty() || !restB.empty(); ++line) {
    const auto endA = std::min(restA.find('\n'), restA.size());
    const auto endB = std::min(restB.find('\n'), restB.size());
    const auto lineA = restA.substr(0, endA), lineB = restB.substr(0, endB);
    if (lineA != lineB) {
      return "line " + std::to_string(line) + ": " + UnscrambleLine(lineA).value_or("?") +
             " / " + UnscrambleLine(lineB).value_or("?");
    }
    restA.remove_prefix(std::min(endA + 1, restA.size()));
    restB.remove_prefix(std::min(endB + 1, restB.size()));
  }
  return {};
}

TEST(MaintenanceFileRoundTrip, WriteReadWriteGivesTheSameBytesAndSettings) {
  TempFolder folder;
  const clsInstrument original = SampleRecord();
  ASSERT_TRUE(WriteMaintenanceFile(original, folder.File("first.kvd")).ok);

  clsInstrument loaded = RecordToLoadInto();
  const auto result = ReadMaintenanceFile(loaded, folder.File("first.kvd"));
  ASSERT_TRUE(result.complete) << "line " << result.stoppedAtLine << ": " << result.reason;
  SetRatioChannels(loaded);
  ASSERT_TRUE(WriteMaintenanceFile(loaded, folder.File("second.kvd")).ok);

  const std::string first = ReadBytes(folder.File("first.kvd"));
  const std::string second = ReadBytes(folder.File("second.kvd"));
  EXPECT_TRUE(first == second) << FirstDifference(first, second);
  EXPECT_EQ(Differences(original, loaded), std::vector<std::string>{});
}

class RecordLines : public testing::Test {
 protected:
  KvdLoadResult Load(const std::vector<std::string>& texts) {
    return ReadMaintenanceText(r, FileOf(texts));
  }
  clsInstrument r;
};

TEST_F(RecordLines, EdgeCasesOfTheFileFormat) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    std::function<void(const clsInstrument&)> check;
  };
  const std::vector<Case> cases = {
      {"codes in any letter case", {"xz,W,01,ABC,"}, [](auto& r) { EXPECT_EQ(r.XZ_(0), "ABC"); }},
      {"names are trimmed", {"XS,W,80,  LAST  ,"}, [](auto& r) { EXPECT_EQ(r.XS_(127), "LAST"); }},
      {"short WB keeps the leak beep",
       {"WB,W,0,0,0,", "WB,W,1,2,"},
       [](auto& r) {
         EXPECT_TRUE(r.invalidWB());
         EXPECT_EQ(r.LeakBeep(), 0);
         EXPECT_EQ(r.BarHoleTime(), 2);
       }},
      {"complete WB", {"WB,W,1,2,0,"}, [](auto& r) {
         EXPECT_FALSE(r.invalidWB());
         EXPECT_EQ(r.LeakBeep(), 0);
       }},
      {"two-digit LB factor",
       {"LB,W,05,Propane,C3H,1A,"},
       [](auto& r) {
         EXPECT_EQ(r.LB_fc(5), 26);
         EXPECT_TRUE(r.invalidLB_());
       }},
      {"four-digit LO factor",
       {"LO,W,4,Hexane,HEX,1A2B,"},
       [](auto& r) {
         EXPECT_EQ(r.LO_fc(4), 6699);
         EXPECT_FALSE(r.invalidLO_());
       }},
      {"HE below 30 becomes 170", {"HE,W,10,20,14,"}, [](auto& r) { EXPECT_EQ(r.HE_(2), 170); }},
      {"short HE",
       {"HE,W,10,20,40,", "HE,W,11,21,"},
       [](auto& r) {
         EXPECT_TRUE(r.invalidHE_());
         EXPECT_EQ(r.HE_(1), 0x21);
         EXPECT_EQ(r.HE_(2), 0x40);
       }},
      {"short FL", {"FL,W,C350,04B0,"}, [](auto& r) {
         EXPECT_TRUE(r.invalidFL_());
         EXPECT_EQ(r.FL_(0), 50000);
         EXPECT_EQ(r.FL_(2), 0);
         EXPECT_EQ(r.Ratio(0), 50000.0F);
       }},
      {"short GN keeps TCOther", {"GN,W,CH4,H2 ,CO2,VOC,   ,"}, [](auto& r) {
         EXPECT_TRUE(r.invalidGN());
         EXPECT_EQ(r.TCOther(), "---");
         EXPECT_EQ(r.GasName(6), "");
       }},
      {"LP mode 0 forces current mode 2", {"LP,W,0,1,"}, [](auto& r) {
         EXPECT_EQ(r.CurrHc(), 2);
         EXPECT_FALSE(r.invalidLP());
       }},
      {"LP mode 3 keeps the current mode read", {"LP,W,3,1,"}, [](auto& r) {
         EXPECT_EQ(r.CurrHc(), 1);
       }},
      {"short LP", {"LP,W,2,"}, [](auto& r) {
         EXPECT_EQ(r.HcMode(), 2);
         EXPECT_EQ(r.CurrHc(), 0);
         EXPECT_TRUE(r.invalidLP());
       }},
      {"FF follows the gas types read before it",
       {"IT,W,0,1,2,3,4,5,@,", "FF,W,2,1,1,1,"},
       [](auto& r) {
         EXPECT_EQ(r.IRRange(), 2);
         EXPECT_EQ(r.AutoRange(4), 1);
         EXPECT_EQ(r.PIDSmallRange(4), 0);
         EXPECT_EQ(r.PIDSmallRange(5), 1);
         EXPECT_EQ(r.AutoRange(6), 0);
         EXPECT_EQ(r.GasType(6), 16);
         EXPECT_FALSE(r.invalidFF());
       }},
      {"short FF", {"FF,W,2,"}, [](auto& r) { EXPECT_TRUE(r.invalidFF()); }},
      {"short LI keeps the factor",
       {"LI,W,03,03E8,1,02,0001,0064,00C8,012C,0032,01F4,"},
       [](auto& r) {
         EXPECT_TRUE(r.invalidLI());
         EXPECT_EQ(r.PIDFactor(3, 1), 0.0F);
         EXPECT_EQ(r.PIDFullScale(3, 1), 100.0F);
         EXPECT_EQ(r.PIDUnit(3, 1), "ppm");
       }},
      {"XP codes become seconds", {"XP,W,6,"}, [](auto& r) { EXPECT_EQ(r.Intervals(), 300); }},
      {"US \"@\" reads as 0, IT \"@\" as 16",
       {"US,W,@,@,1,0,0,0,0,", "IT,W,@,1,2,3,4,5,@,"},
       [](auto& r) {
         EXPECT_EQ(r.ZeroForce(0), 0);
         EXPECT_EQ(r.ZeroForce(2), 1);
         EXPECT_EQ(r.GasType(0), 16);
       }},
      {"UG enables the channels with an output",
       {"UG,W,0,1,2,3,@,P,0,"},
       [](auto& r) {
         EXPECT_EQ(r.UG_(3), 3);
         EXPECT_EQ(r.UG_(4), 16);
         EXPECT_FALSE(r.GasEnabled(0));
         EXPECT_TRUE(r.GasEnabled(5));
       }},
      {"status words in readings",
       {"A1,W,OVER,FAIL,NOR ,WARN,0064,FFFF,ALR,"},
       [](auto& r) {
         EXPECT_EQ(r.Warning(0), kStatusOver);
         EXPECT_EQ(r.Warning(1), kStatusFail);
         EXPECT_EQ(r.Warning(2), kStatusNormal);
         EXPECT_EQ(r.Warning(3), kStatusWarning);
         EXPECT_EQ(r.Warning(4), 100.0F);
         EXPECT_EQ(r.Warning(5), kNoData);
         EXPECT_EQ(r.Warning(6), kStatusAlarm);
       }},
      {"catalytic SA: codes are not scaled, no reference gives no data",
       {"IT,W,0,0,1,2,3,4,@,", "GF,W,0064,0064,0000,0000,", "FL,W,C350,0000,",
        "SA,W,FFFF,61A8,DDDD,FFFF,FFFF,FFFF,FFFF,", "FL,W,0000,0000,",
        "SA,W,0000,61A8,DDDD,FFFF,FFFF,FFFF,FFFF,"},
       [](auto& r) {
         EXPECT_EQ(r.AutoCalib(0), kNoData);  // 0000 without a reference
         EXPECT_EQ(r.AutoCalib(1), kNoData);  // 61A8, catalytic, reference 0
         EXPECT_EQ(r.AutoCalib(2), kCodeDDDD);
       }},
      {"catalytic SA scales raw counts",
       {"IT,W,0,1,2,3,4,5,@,", "GF,W,0064,0000,0000,0000,", "FL,W,C350,0000,",
        "SA,W,61A8,FFFF,FFFF,FFFF,FFFF,FFFF,FFFF,"},
       [](auto& r) { EXPECT_EQ(r.AutoCalib(0), 50.0F); }},
      // The instrument reports these in hexadecimal, but the file holds write
      // lines, which carry them in decimal: read as written, 10 and more survive.
      {"decimal write fields read as decimal",
       {"XB,W,12,", "AL,W,10,", "WB,W,3,12,1,", "US,W,0,@,11,0,0,0,0,", "FF,W,10,0,0,0,"},
       [](auto& r) {
         EXPECT_EQ(r.Confermation(), 12);
         EXPECT_EQ(r.UsePasswd(), 10);
         EXPECT_EQ(r.LBMode(), 3);
         EXPECT_EQ(r.BarHoleTime(), 12);
         EXPECT_EQ(r.ZeroForce(2), 11);
         EXPECT_EQ(r.IRRange(), 10);
       }},
      {"gas types stay hexadecimal", {"IT,W,0,1,2,3,4,5,A,"}, [](auto& r) {
         EXPECT_EQ(r.GasType(6), 10);
       }},
      {"unknown codes and comment lines change nothing",
       {"ZZ,W,1,", ";XZ,W,01,ABC,", ";AP", ""},
       [](auto& r) {
         EXPECT_EQ(r.XZ_(0), "");
         EXPECT_EQ(r.AlarmMode(), 0);
       }},
      {"LA levels use the catalytic places given later in the file",
       {"LA,W,00,0064,DDDD,61A8,1,", "GP,W,1,0,0,0,0,0,0,"},
       [](auto& r) {
         EXPECT_EQ(r.LA_warn(0), 10.0F);
         EXPECT_EQ(r.LA_alarm(0), kCodeDDDD);
         EXPECT_EQ(r.LA_ratio(0), 25000.0F);
         EXPECT_EQ(r.LA_volt(0), 1.0F);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    clsInstrument record;
    const auto result = ReadMaintenanceText(record, FileOf(c.lines));
    ASSERT_TRUE(result.complete) << "line " << result.stoppedAtLine << ": " << result.reason;
    c.check(record);
  }
}

TEST_F(RecordLines, ABadLineStopsTheLoadAndIsReported) {
  struct Case {
    const char* what;
    std::string badLine;
    const char* reasonPart;
  };
  const std::vector<Case> cases = {
      {"non-hexadecimal index", "XS,W,G1,ABC,", "G1"},
      {"station entry 0", "XS,W,00,ABC,", "outside the table"},
      {"G1 index beyond the table", "G1,W,7,ABC,", "outside the table"},
      {"factor beyond 16 bits", "LO,W,1,Hexane,HEX,8000,", "8000"},
      {"decimal field with letters", "AP,W,x,", "AP"},
      {"too many fields", "AP,W," + std::string(130, ','), "129"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    clsInstrument record;
    const std::string file = FileOf({"XZ,W,01,FIRST,", "AP,W,2,"}) + "\r\n" +
                             FileOf({c.badLine, "XZ,W,01,AFTER,", "AP,W,3,"});
    const auto result = ReadMaintenanceText(record, file);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.stoppedAtLine, 4);  // the blank third line still counts
    EXPECT_NE(result.reason.find(c.reasonPart), std::string::npos) << result.reason;
    EXPECT_EQ(record.XZ_(0), "FIRST");
    EXPECT_EQ(record.AlarmMode(), 2);
  }
}

TEST_F(RecordLines, ALineThatWasNeverScrambledIsReported) {
  const auto result = ReadMaintenanceText(r, FileOf({"AP,W,2,"}) + "AP,W,3,\r\n");
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(result.stoppedAtLine, 2);
  EXPECT_EQ(r.AlarmMode(), 2);
}

TEST_F(RecordLines, LoadedSettingsCarryChangeFlags) {
  ASSERT_TRUE(Load({"AP,W,2,", "XS,W,03,GATE,"}).complete);
  EXPECT_TRUE(r.Change_AlarmMode());
  EXPECT_TRUE(r.Change_XS_(2));
  EXPECT_FALSE(r.Change_CalLimit());
}

TEST(ReadMaintenanceFile, AFileThatCannotBeOpenedIsReported) {
  TempFolder folder;
  clsInstrument r;
  const auto result = ReadMaintenanceFile(r, folder.File("missing.kvd"));
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(result.stoppedAtLine, 0);
  EXPECT_NE(result.reason.find("missing.kvd"), std::string::npos) << result.reason;
}

TEST(ReadMaintenanceFile, AFileFarTooLargeIsRefusedUnreadWithItsSize) {
  TempFolder folder;
  const std::string path = folder.File("huge.kvd");
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  std::filesystem::resize_file(path, 300 * 1024 * 1024);  // sparse: no disk used
  clsInstrument r;
  const auto started = std::chrono::steady_clock::now();
  const auto result = ReadMaintenanceFile(r, path);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(200));
  EXPECT_FALSE(result.complete);
  EXPECT_NE(result.reason.find("huge.kvd is 314572800 bytes, larger than 1024 KiB"), std::string::npos)
      << result.reason;
}

// The simulated instrument applies received write commands one at a time.
TEST(ApplyRecordText, AppliesOneCommandWithTheFileRules) {
  clsInstrument r;
  clsToken token;
  ConfigureRecordTokenizer(token);
  std::string reason;
  EXPECT_TRUE(ApplyRecordText(r, token, "AP,W,1,", &reason));
  EXPECT_EQ(r.AlarmMode(), 1);
  EXPECT_TRUE(ApplyRecordText(r, token, "RO,W,", &reason));  // not a record: nothing to apply
  EXPECT_FALSE(ApplyRecordText(r, token, "XZ,W,ZZ,NAME,", &reason));
  EXPECT_NE(reason.find("XZ"), std::string::npos) << reason;
  EXPECT_TRUE(IsRecordCode("gj"));
  EXPECT_FALSE(IsRecordCode("HC"));
}

// A file loaded into a fresh record (the window's load, `kvmaint set`) has no
// ratio channels computed yet: the ratio levels still use their fixed places,
// on the way out and on the way in.
TEST(ApplyRecordText, RatioLevelsKeepTheirPlacesInAFreshRecord) {
  clsInstrument written;
  written.SetCATppm1st(5000);
  written.SetCATppm2nd(10000);
  written.SetCATvol1st(0.5f);
  written.SetCATvol2nd(1.0f);
  const std::string line = WriteLineAC(written);
  EXPECT_EQ(line, "AC,W,1388,2710,0032,0064,");

  clsInstrument read;
  clsToken token;
  ConfigureRecordTokenizer(token);
  std::string reason;
  ASSERT_TRUE(ApplyRecordText(read, token, line, &reason)) << reason;
  EXPECT_EQ(read.CATppm1st(), 5000);
  EXPECT_EQ(read.CATppm2nd(), 10000);
  EXPECT_FLOAT_EQ(read.CATvol1st(), 0.5f);
  EXPECT_FLOAT_EQ(read.CATvol2nd(), 1.0f);
}

}  // namespace
}  // namespace kv
