// The check made before a file is sent: names and ranged values the
// instrument would refuse part way through an upload are found, with their
// line, before anything is written.
#include "files/send_check.h"

#include <gtest/gtest.h>

#include <string>

#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "support/sample_record.h"
#include "files/scramble.h"

namespace kv {
namespace {

struct CheckCase {
  const char* what;
  std::string text;
  const char* problem;  // part of the reason; "" when the line passes
};

class SendCheckLines : public testing::TestWithParam<CheckCase> {};

TEST_P(SendCheckLines, FindsWhatTheInstrumentRefuses) {
  const CheckCase& c = GetParam();
  SendCheck check;
  check.CheckRecord(7, c.text);
  if (std::string(c.problem).empty()) {
    EXPECT_TRUE(check.Problems().empty()) << c.what << ": " << check.Problems().front().reason;
    return;
  }
  ASSERT_EQ(check.Problems().size(), 1U) << c.what;
  EXPECT_EQ(check.Problems().front().line, 7);
  EXPECT_NE(check.Problems().front().reason.find(c.problem), std::string::npos)
      << c.what << ": " << check.Problems().front().reason;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SendCheckLines,
    testing::Values(
        CheckCase{"station name with lower case and symbols", "XS,W,05,Pump (north) #2   ,", ""},
        CheckCase{"station name with a Latin-1 letter", "XS,W,05,M\xDCHLE,", "XS field 2"},
        CheckCase{"station name of 17 characters", "XS,W,05,ABCDEFGHIJKLMNOPQ,", "accepts up to 16 characters"},
        CheckCase{"user name with a brace", "XZ,W,01,A{B,", "printable ASCII except {"},
        CheckCase{"user name split by a comma", "XZ,W,07,J,DOE,", "more fields than the XZ line holds"},
        CheckCase{"station name with a semicolon", "XS,W,05,NORTH;GATE,", "a semicolon ends the line"},
        CheckCase{"user name with an apostrophe", "XZ,W,01,O'NEIL,", ""},
        CheckCase{"empty station", "XS,W,05,                ,", ""},
        CheckCase{"gas name in lower case", "GN,W,ch4,H2 ,CO2,VOC,   ,ETH,", "GN field 1"},
        CheckCase{"other gas of four letters", "GN,W,CH4,H2 ,CO2,VOC,   ,ETHA,", "accepts up to 3 characters"},
        CheckCase{"GJ name with a dot", "GJ,W,CH4,03E8,0005,1,O.2,00FA,0001,0,H2S,03E8,0001,2,CO ,01F4,"
                                        "0001,2,CO2,01F4,0001,0,VOC,03E8,0001,2,   ,0000,0001,0,",
                  "GJ field 5"},
        CheckCase{"conversion long name with lower case", "LO,W,0,Hexane              ,HEX,1A2B,", ""},
        CheckCase{"conversion short name with a blank first", "LB,W,00,Propane,  H,0096,", ""},
        CheckCase{"conversion short name with a slash", "LB,W,00,Propane,C/H,0096,", "LB field 3"},
        CheckCase{"PID long name with a tab", "LS,W,00,Iso\tbutylene,IBU,", "LS field 2"},
        CheckCase{"logo name of 21 characters", "BN,W,KORVIN SERVICE LTD. X,", "accepts up to 20 characters"},
        CheckCase{"G1 name in Latin-1", "G1,W,2,Kohlendioxid \xE4,", "G1 field 2"},
        CheckCase{"password of four digits", "AQ,W,4711,", ""},
        CheckCase{"password of five digits", "AQ,W,47110,", "4 digits"},
        CheckCase{"password with a letter", "AQ,W,47A1,", "4 digits"},
        CheckCase{"calibration limit 365 days", "SC,W,016D,", ""},
        CheckCase{"calibration limit 366 days", "SC,W,016E,", "between 0 and 365"},
        CheckCase{"backlight 255", "XT,W,FF,", ""},
        CheckCase{"backlight 256", "XT,W,100,", "between 0 and 255"},
        CheckCase{"contrast 16", "UL,W,10,", "between 0 and 15"},
        CheckCase{"a code without names or ranges", "AP,W,2,", ""},
        CheckCase{"a type field in Latin-1", "UJ,W,\xB2,", "UJ field 1"},
        CheckCase{"a control character in a level", "A1,W,0064,00\x01""5,0000,0000,0000,0000,0000,", "A1 field 2"},
        CheckCase{"a comment line", ";XS,W,05,\xDC,", ""}));

// The sample record holds one name the instrument does not take: the
// lower-case short name of PID entry 16. Everything else passes.
TEST(SendCheckFile, AFileWrittenFromTheSampleRecordHasOneProblem) {
  std::string file;
  for (const std::string& text : MaintenanceRecordTexts(testsupport::SampleRecord())) {
    file += ScrambleLine(text) + "\r\n";
  }
  SendCheck check;
  clsInstrument record;
  const KvdLoadResult loaded = ReadMaintenanceText(record, file, [&check](int line, std::string_view text) {
    check.CheckRecord(line, text);
  });
  ASSERT_TRUE(loaded.complete) << loaded.reason;
  ASSERT_EQ(check.Problems().size(), 1U);
  EXPECT_EQ(check.Problems().front().line, 32 + 128 + 5 + 1 + 30 + 35 + 17);
  EXPECT_EQ(check.Problems().front().reason.substr(0, 18), "LS field 3 (\"bz \")");
}

}  // namespace
}  // namespace kv
