// Global settings, the small multi-field groups and the methane elimination levels.
#include "protocol/dispatcher_fixture.h"

namespace kv {
namespace {

using testing::RecordingLink;
using testing::ReplyCase;
using testing::RunReplyCases;

using Prepare = std::function<void(clsInstrument&, RecordingLink&)>;

bool FormatErrorLogged(const RecordingLink& link) {
  return link.log == std::vector<std::string>{"<<< Format error >>>"};
}

TEST(DispatcherSettingsTest, OneValueSettings) {
  RunReplyCases({
      {"alarm mode, flag cleared", "AP,R,2", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.AlarmMode(), 2);
         EXPECT_FALSE(r.Change_AlarmMode());
       },
       [](clsInstrument& r, RecordingLink&) { r.SetAlarmMode(9); }},
      {"alarm mode not numeric", "AP,R,X", false,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.AlarmMode(), 0); }},
      {"calibration limit display off", "SD,R,0", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_FALSE(r.DispCalLimit()); }},
      {"calibration limit is hexadecimal", "SC,R,5A", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.CalLimit(), 90); }},
      {"calibration limit echo", "SC,W,005A", true, nullptr,
       [](clsInstrument& r, RecordingLink&) { r.SetCalLimit(90); }},
      {"calibration limit echo differs", "SC,W,005B", false, nullptr,
       [](clsInstrument& r, RecordingLink&) { r.SetCalLimit(90); }},
      {"interval code 2 is 20 s", "XP,R,2", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.Intervals(), 20);
         EXPECT_FALSE(r.Change_Interval());
       }},
      {"interval code 6 is 300 s", "XP,R,6", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.Intervals(), 300); }},
      {"unknown interval code 9 is 300 s", "XP,R,9", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.Intervals(), 300); }},
      {"interval echo compared in seconds", "XP,W,2", true, nullptr,
       [](clsInstrument& r, RecordingLink&) { r.SetIntervals(20); }},
      {"interval echo differs", "XP,W,3", false, nullptr,
       [](clsInstrument& r, RecordingLink&) { r.SetIntervals(20); }},
      {"confirmation is read as hexadecimal", "XB,R,10", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.Confermation(), 16); }},
      {"back light", "XT,R,1F", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.LcdBackLight(), 31); }},
      {"contrast", "UL,R,A", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.LcdContrast(), 10); }},
      {"log clearing", "XC,R,0", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.LogaClear(), 0);
         EXPECT_FALSE(r.Change_logaClear());
       },
       [](clsInstrument& r, RecordingLink&) { r.SetLogaClear(1); }},
      {"password use is hexadecimal", "AL,R,1F", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.UsePasswd(), 31); }},
      {"password use with two fields", "AL,R,1,2", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(FormatErrorLogged(link)); }},
      {"password of three characters", "AQ,R,123", false,
       [](const clsInstrument& r, const RecordingLink& link) {
         EXPECT_EQ(r.Password(), "8462");
         EXPECT_TRUE(FormatErrorLogged(link));
       }},
      {"password of four characters", "AQ,R,1234", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.Password(), "1234"); }},
      {"password echo differs", "AQ,W,1235", false, nullptr,
       [](clsInstrument& r, RecordingLink&) { r.SetPassword("1234"); }},
      {"auto zero", "SJ,R,1", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.AutoZero(), 1); }},
      {"conversion factor echo 1 for any non-zero value", "LF,W,1", true, nullptr,
       [](clsInstrument& r, RecordingLink&) { r.SetConvFc(5); }},
      {"conversion factor echo must be 1, not the value", "LF,W,5", false, nullptr,
       [](clsInstrument& r, RecordingLink&) { r.SetConvFc(5); }},
      {"battery", "HB,R,1", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.Battery(), 1); }},
      {"logo 2", "UV,R,2", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.LogoDisp(), 2); }},
      {"logo 7 is out of range", "UV,R,7", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.LogoDisp(), 1); }},
      {"logo not numeric", "UV,R,OFF", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.LogoDisp(), 1); }},
      {"display flag off", "AF,R,0", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.AFapDisp(), 0); }},
      {"display flag not numeric is on", "XD,R,X", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.RemainTimeDisp(), 1); },
       [](clsInstrument& r, RecordingLink&) { r.SetRemainTimeDisp(0); }},
      {"display echo is not checked", "UW,W,X", true, nullptr},
      {"logo name cut to 20", "BN,R,ABCDEFGHIJKLMNOPQRSTUVWXYZ", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.BNuserLogoName(), "ABCDEFGHIJKLMNOPQRST");
         EXPECT_FALSE(r.Change_BNuserLogoName());
       }},
  });
}

TEST(DispatcherSettingsTest, MultiFieldSettings) {
  const Prepare leakSettings = [](clsInstrument& r, RecordingLink&) {
    r.SetLBMode(10);
    r.SetBarHoleTime(30);
    r.SetLeakBeep(0);
  };
  RunReplyCases({
      {"display flags", "XE,R,0,1", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.MEDisp(), 0);
         EXPECT_EQ(r.AliveDisp(), 1);
         EXPECT_FALSE(r.Change_MEDisp());
       }},
      {"display flags not numeric", "XE,R,X,0", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.MEDisp(), 1);
         EXPECT_EQ(r.AliveDisp(), 1);
       }},
      {"zero and span flags", "SG,R,0,1", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.DemandZero(), 0);
         EXPECT_EQ(r.DispSpanFc(), 1);
       }},
      {"zero and span flags not numeric", "SG,R,X", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.DemandZero(), 1);
         EXPECT_EQ(r.DispSpanFc(), 0);
       },
       [](clsInstrument& r, RecordingLink&) {
         r.SetDemandZero(0);
         r.SetDispSpanFc(1);
       }},
      {"HC mode with current value", "LP,R,2,1", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.HcMode(), 2);
         EXPECT_EQ(r.CurrHc(), 1);
         EXPECT_FALSE(r.invalidLP());
         EXPECT_FALSE(r.Change_CurrHc());
       },
       [](clsInstrument& r, RecordingLink&) { r.SetinvalidLP(true); }},
      {"HC mode alone (older form)", "LP,R,2", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.HcMode(), 2);
         EXPECT_EQ(r.CurrHc(), 0);
         EXPECT_TRUE(r.invalidLP());
       }},
      {"HC mode with three fields", "LP,R,2,1,0", false,
       [](const clsInstrument& r, const RecordingLink& link) {
         EXPECT_EQ(r.HcMode(), 3);
         EXPECT_TRUE(FormatErrorLogged(link));
       }},
      {"HC mode echo", "LP,W,2,1", true, nullptr,
       [](clsInstrument& r, RecordingLink&) {
         r.SetHcMode(2);
         r.SetCurrHc(1);
       }},
      {"HC mode echo differs", "LP,W,2,0", false, nullptr,
       [](clsInstrument& r, RecordingLink&) {
         r.SetHcMode(2);
         r.SetCurrHc(1);
       }},
      {"leak settings read as hexadecimal", "WB,R,A,1E,0", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.LBMode(), 10);
         EXPECT_EQ(r.BarHoleTime(), 30);
         EXPECT_EQ(r.LeakBeep(), 0);
         EXPECT_FALSE(r.invalidWB());
         EXPECT_FALSE(r.Change_BarHoleTime());
       },
       [](clsInstrument& r, RecordingLink&) { r.SetinvalidWB(true); }},
      {"leak settings without beep (older form)", "WB,R,1,2", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.LeakBeep(), 1);
         EXPECT_TRUE(r.invalidWB());
       },
       [](clsInstrument& r, RecordingLink&) { r.SetLeakBeep(0); }},
      {"leak settings with one field", "WB,R,1", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(FormatErrorLogged(link)); }},
      {"leak echo read in decimal, as written", "WB,W,10,30,0", true, nullptr, leakSettings},
      {"leak echo differs", "WB,W,16,48,0", false, nullptr, leakSettings},
  });
}

TEST(DispatcherSettingsTest, MethaneEliminationLevels) {
  RunReplyCases({
      {"EV levels", "HH,R,10,20", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.HH_(0), 0x10);
         EXPECT_EQ(r.HH_(1), 0x20);
         EXPECT_FALSE(r.Change_HH_(1));
       }},
      {"EV levels with one field", "HH,R,10", false,
       [](const clsInstrument& r, const RecordingLink& link) {
         EXPECT_EQ(r.HH_(0), 0);
         EXPECT_TRUE(FormatErrorLogged(link));
       }},
      {"D/A levels", "HE,R,10,20,30", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.HE_(2), 0x30);
         EXPECT_FALSE(r.Change_HE_(2));
         EXPECT_FALSE(r.invalidHE_());
       }},
      {"D/A levels, older form with two", "HE,R,10,20", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_TRUE(r.invalidHE_());
         EXPECT_EQ(r.HE_(1), 0x20);
         EXPECT_FALSE(r.Change_HE_(1));
         EXPECT_EQ(r.HE_(2), 170);
         EXPECT_TRUE(r.Change_HE_(2));  // the default is flagged for writing
       }},
      {"CAT D/A", "RP,R,7F,80", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.RP_(1), 0x80); }},
      {"ME zero and span", "SI,R,1,2,3,4", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.SI_(3), 4);
         EXPECT_FALSE(r.Change_SI_(3));
       }},
      {"ME zero and span with three fields", "SI,R,1,2,3", false, nullptr},
      {"level writes are not checked", "HE,W,XX", true, nullptr},
  });
}

// The link may have no record attached when an unchecked echo arrives.
TEST(DispatcherSettingsTest, UncheckedEchoesNeedNoRecord) {
  for (const char* reply : {"UV,W,1", "AF,W,1", "UI,W,1", "UW,W,1", "XD,W,1"}) {
    RecordingLink link;
    EXPECT_TRUE(ApplyReply(testing::Frame(reply), nullptr, link)) << reply;
  }
}

}  // namespace
}  // namespace kv
