// Conversion tables, their levels and count, and the PID sensor table.
#include "protocol/dispatcher_fixture.h"

namespace kv {
namespace {

using testing::kNakText;
using testing::RecordingLink;
using testing::ReplyCase;
using testing::RunReplyCases;

bool FormatErrorLogged(const RecordingLink& link) {
  return link.log == std::vector<std::string>{"<<< Format error >>>"};
}

TEST(DispatcherTablesTest, ConversionTables) {
  RunReplyCases({
      {"user entry with a four-digit factor", "LO,R,02,Methane long,CH4,1A2B", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.LO_longname(2), "Methane long");
         EXPECT_EQ(r.LO_name(2), "CH4");
         EXPECT_EQ(r.LO_fc(2), 6699);
         EXPECT_FALSE(r.invalidLO_());
         EXPECT_FALSE(r.Change_LO_(2));
       },
       [](clsInstrument& r, RecordingLink&) { r.SetinvalidLO_(true); }},
      {"user entry with a two-digit factor (older form)", "LO,R,02,X,Y,1A", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.LO_fc(2), 26);
         EXPECT_TRUE(r.invalidLO_());
       }},
      {"factor of 32768 does not fit", "LO,R,02,X,Y,8000", false,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.LO_longname(2), "X");  // stored before the factor
         EXPECT_EQ(r.LO_fc(2), 0);
         EXPECT_TRUE(r.Change_LO_(2));
       }},
      {"user entry beyond the table", "LO,R,06,X,Y,0001", false, nullptr},
      {"user entry with three fields", "LO,R,02,X,Y", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(FormatErrorLogged(link)); }},
      {"pre-defined table not supported", "LB,R," + kNakText, true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_TRUE(r.invalidLB_()); }},
      {"pre-defined entry 30", "LB,R,1E,Propane,C3H,0100", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.LB_name(30), "C3H");
         EXPECT_EQ(r.LB_fc(30), 256);
         EXPECT_FALSE(r.invalidLB_());
         EXPECT_FALSE(r.Change_LB_(30));
       }},
      {"table count", "LN,R,5", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.LN_(), 5);
         EXPECT_FALSE(r.Change_LN_());
       }},
      {"table count with two fields", "LN,R,5,6", false, nullptr},
      {"levels not supported", "LA,R," + kNakText, true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_TRUE(r.invalidLA_()); }},
      {"levels in channel 0's places", "LA,R,03,0032,0064,1388,1", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_FLOAT_EQ(r.LA_warn(3), 5.0F);
         EXPECT_FLOAT_EQ(r.LA_alarm(3), 10.0F);
         EXPECT_FLOAT_EQ(r.LA_ratio(3), 5000.0F);
         EXPECT_FLOAT_EQ(r.LA_volt(3), 1.0F);
         EXPECT_FALSE(r.Change_LA_(3));
         EXPECT_FALSE(r.invalidLA_());
       },
       [](clsInstrument& r, RecordingLink&) {
         EXPECT_TRUE(r.SetGasPoint(0, 1));
         r.SetinvalidLA_(true);
       }},
      {"levels entry beyond the table", "LA,R,24,0032,0064,1388,1", false, nullptr},
      {"levels with four fields", "LA,R,03,0032,0064,1388", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(FormatErrorLogged(link)); }},
      {"table writes acknowledged", "LA,W,03", true, nullptr},
  });
}

TEST(DispatcherTablesTest, PidTable) {
  const std::string lowRange = "LI,R,02,0064,1,2,0005,000A,0014,001E,0028,0032";
  const auto expectLowRangeValues = [](const clsInstrument& r, int range) {
    EXPECT_EQ(r.PIDPoint(2, range), 1);
    EXPECT_FLOAT_EQ(r.PIDFullScale(2, range), 10.0F);
    EXPECT_EQ(r.PIDUnit(2, range), "ppm");
    EXPECT_FLOAT_EQ(r.PIDDigit(2, range), 0.5F);
    EXPECT_FLOAT_EQ(r.PIDWarn(2, range), 1.0F);
    EXPECT_FLOAT_EQ(r.PIDAlarm(2, range), 2.0F);
    EXPECT_FLOAT_EQ(r.PIDStel(2, range), 3.0F);
    EXPECT_FLOAT_EQ(r.PIDTwa(2, range), 4.0F);
    EXPECT_FLOAT_EQ(r.PIDAutoCal(2, range), 5.0F);
  };
  RunReplyCases({
      {"names, short name in upper case", "LS,R,03,Isobutylene,ibl", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.PIDLongName(3), "Isobutylene");
         EXPECT_EQ(r.PIDName(3), "IBL");
         EXPECT_FALSE(r.Change_PIDName(3));
       },
       [](clsInstrument& r, RecordingLink&) { r.SetPIDName(3, "OLD"); }},
      {"names with two fields", "LS,R,03,Isobutylene", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(FormatErrorLogged(link)); }},
      {"low range with factor", lowRange + ",3E8", true,
       [&](const clsInstrument& r, const RecordingLink&) {
         expectLowRangeValues(r, 1);
         EXPECT_FLOAT_EQ(r.PIDFactor(2, 1), 1000.0F);
         EXPECT_FALSE(r.invalidLI());
         EXPECT_FALSE(r.Change_PIDSpec(2, 1));
         EXPECT_EQ(r.PIDPoint(2, 0), 0);
       },
       [](clsInstrument& r, RecordingLink&) { r.SetinvalidLI(true); }},
      {"low range without factor (older form)", lowRange, true,
       [&](const clsInstrument& r, const RecordingLink&) {
         expectLowRangeValues(r, 1);
         EXPECT_FLOAT_EQ(r.PIDFactor(2, 1), 7.0F);
         EXPECT_TRUE(r.invalidLI());
       },
       [](clsInstrument& r, RecordingLink&) { r.SetPIDFactor(2, 1, 7.0F); }},
      {"low range with nine fields", "LI,R,02,0064,1,2,0005,000A,0014,001E,0028", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(FormatErrorLogged(link)); }},
      {"high range not supported", "LJ,R," + kNakText, true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_TRUE(r.invalidLJ());
         EXPECT_EQ(r.PIDPoint(0, 0), 0);
         EXPECT_FALSE(r.Change_PIDSpec(0, 0));
       }},
      {"high range", "LJ" + lowRange.substr(2) + ",3E8", true,
       [&](const clsInstrument& r, const RecordingLink&) {
         expectLowRangeValues(r, 0);
         EXPECT_FLOAT_EQ(r.PIDFactor(2, 0), 1000.0F);
         EXPECT_FALSE(r.invalidLJ());
       },
       [](clsInstrument& r, RecordingLink&) { r.SetinvalidLJ(true); }},
      {"high range always reads the factor", "LJ" + lowRange.substr(2), false,
       [&](const clsInstrument& r, const RecordingLink&) {
         expectLowRangeValues(r, 0);
         EXPECT_TRUE(r.invalidLJ());
         EXPECT_TRUE(r.Change_PIDSpec(2, 0));
       },
       [](clsInstrument& r, RecordingLink&) { r.SetinvalidLJ(true); }},
  });
}

}  // namespace
}  // namespace kv
