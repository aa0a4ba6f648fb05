// Gas names and the per-channel configuration replies.
#include "protocol/dispatcher_fixture.h"

namespace kv {
namespace {

using testing::Fields;
using testing::kNakText;
using testing::RecordingLink;
using testing::ReplyCase;
using testing::RunReplyCases;
using testing::SetChannel;

using Prepare = std::function<void(clsInstrument&, RecordingLink&)>;

bool FormatErrorLogged(const RecordingLink& link) {
  return link.log == std::vector<std::string>{"<<< Format error >>>"};
}

TEST(DispatcherChannelTest, GasNames) {
  const Prepare flaggedNames = [](clsInstrument& r, RecordingLink&) {
    for (int k = 0; k <= 8; ++k) EXPECT_TRUE(r.SetGasName(k, "OLD"));
  };
  const Prepare namesWritten = [](clsInstrument& r, RecordingLink&) {
    EXPECT_TRUE(r.SetGasName(0, "CH4"));
    r.SetCATOther("H2");
    EXPECT_TRUE(r.SetGasName(4, "CO2"));
    EXPECT_TRUE(r.SetGasName(5, "IBL"));
    EXPECT_TRUE(r.SetGasName(6, "NH3"));
    r.SetTCOther("TC");
  };
  std::vector<std::string> summary;
  for (int k = 0; k < kSensorChannels; ++k) {
    summary.insert(summary.end(), {"G" + std::to_string(k), "0064", "0005", "2"});
  }
  RunReplyCases({
      {"names, nine fields", "GN,R,CH4,H2 ,a,b,c,d,e,f,TCO", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.GasName(0), "CH4");
         EXPECT_EQ(r.CATOther(), "H2 ");
         EXPECT_EQ(r.TCOther(), "TCO");
         EXPECT_FALSE(r.invalidGN());
         EXPECT_FALSE(r.Change_CATOther());
         EXPECT_FALSE(r.Change_TCOther());
         for (const int k : {0, 2, 3, 4, 5, 6, 7}) EXPECT_FALSE(r.Change_GasName(k)) << k;
         EXPECT_TRUE(r.Change_GasName(1));  // the instrument's set leaves 1 and 8 alone
         EXPECT_TRUE(r.Change_GasName(8));
       },
       flaggedNames},
      {"names, eight fields (older form)", "GN,R,CH4,H2,a,b,c,d,e,f", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_TRUE(r.invalidGN());
         EXPECT_EQ(r.TCOther(), "---");
       }},
      {"names, seven fields", "GN,R,CH4,H2,a,b,c,d,e", false,
       [](const clsInstrument& r, const RecordingLink& link) {
         EXPECT_EQ(r.GasName(0), "");
         EXPECT_TRUE(FormatErrorLogged(link));
       }},
      {"names echo, padded to three", "GN,W,CH4,H2 ,CO2,IBL,NH3,TC ", true, nullptr, namesWritten},
      {"names echo differs", "GN,W,CH4,H2 ,CO2,IBL,NH4,TC ", false, nullptr, namesWritten},
      {"names echo with five fields", "GN,W,CH4,H2,CO2,IBL,NH3", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(FormatErrorLogged(link)); },
       namesWritten},
      {"gas summary", "GJ,R," + Fields(summary), true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.GasName(3), "G3");
         EXPECT_FLOAT_EQ(r.GasFullScale(0), 100.0F);
         EXPECT_FLOAT_EQ(r.GasFullScale(1), 10.0F);
         EXPECT_FLOAT_EQ(r.GasDesit(1), 0.5F);
         EXPECT_EQ(r.GasUnit(6), "ppm");
       },
       [](clsInstrument& r, RecordingLink&) { EXPECT_TRUE(r.SetGasPoint(1, 1)); }},
      {"gas summary, 27 fields", "GJ,R," + Fields({summary.begin(), summary.end() - 1}), false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(FormatErrorLogged(link)); }},
      {"decimal places", "GP,R,0,1,2,3,0,1,2", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.GasPoint(3), 3);
         EXPECT_EQ(r.GasPoint(6), 2);
         EXPECT_FALSE(r.Change_GasPoint(6));
       }},
      {"decimal places, six fields", "GP,R,0,1,2,3,0,1", false, nullptr},
      {"full scales in the channel's places", "GF,R,0064,0064,0064,0064,0064,0064,0064", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_FLOAT_EQ(r.GasFullScale(0), 100.0F);
         EXPECT_FLOAT_EQ(r.GasFullScale(2), 1.0F);
         EXPECT_FALSE(r.Change_GasFullScale(2));
       },
       [](clsInstrument& r, RecordingLink&) { EXPECT_TRUE(r.SetGasPoint(2, 2)); }},
      {"resolutions", "GD,R,0005,0005,0005,0005,0005,0005,0005", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_FLOAT_EQ(r.GasDesit(3), 0.5F);
         EXPECT_FALSE(r.Change_GasDesit(3));
       },
       [](clsInstrument& r, RecordingLink&) { EXPECT_TRUE(r.SetGasPoint(3, 1)); }},
      {"units", "GU,R,0,1,2,3,0,1,2", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.GasUnit(0), "vol%");
         EXPECT_EQ(r.GasUnit(1), "%LEL");
         EXPECT_EQ(r.GasUnit(3), "ppb");
         EXPECT_FALSE(r.Change_GasUnit(3));
       }},
      {"units echo of channels 0, 4, 5, 6", "GU,W,1,2,0,3", true, nullptr,
       [](clsInstrument& r, RecordingLink&) {
         EXPECT_TRUE(r.SetGasUnit(0, "%LEL"));
         EXPECT_TRUE(r.SetGasUnit(4, "ppm"));
         EXPECT_TRUE(r.SetGasUnit(5, "vol%"));
         EXPECT_TRUE(r.SetGasUnit(6, "ppb"));
       }},
      {"units echo differs", "GU,W,1,2,0,2", false, nullptr,
       [](clsInstrument& r, RecordingLink&) {
         EXPECT_TRUE(r.SetGasUnit(0, "%LEL"));
         EXPECT_TRUE(r.SetGasUnit(4, "ppm"));
         EXPECT_TRUE(r.SetGasUnit(6, "ppb"));
       }},
      {"long names not supported", "G1,R," + kNakText, true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_TRUE(r.invalidG1());
         EXPECT_EQ(r.G1_(0), "");
       }},
      {"long name", "G1,R,02,Isobutylene", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.G1_(2), "Isobutylene");
         EXPECT_FALSE(r.Change_G1_(2));
         EXPECT_FALSE(r.invalidG1());
       },
       [](clsInstrument& r, RecordingLink&) { r.SetinvalidG1(true); }},
      {"long name index beyond the table", "G1,R,07,X", false, nullptr},
      {"long name without text", "G1,R,02", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(FormatErrorLogged(link)); }},
  });
}

TEST(DispatcherChannelTest, ChannelConfiguration) {
  const Prepare types = [](clsInstrument& r, RecordingLink&) {
    const Integer written[] = {0, 1, 2, 3, 4, 5, kGasTypeNone};
    for (int k = 0; k < kSensorChannels; ++k) EXPECT_TRUE(r.SetGasType(k, written[k]));
  };
  const Prepare masks = [](clsInstrument& r, RecordingLink&) {
    for (int k = 0; k < kSensorChannels; ++k) EXPECT_TRUE(r.SetUG_(k, static_cast<Integer>(k)));
  };
  const Prepare altRanges = [](clsInstrument& r, RecordingLink&) {
    EXPECT_TRUE(r.SetAltRng(1, 1));
    EXPECT_TRUE(r.SetAltRng(3, 1));
  };
  RunReplyCases({
      {"sensor types", "IT,R,0,1,2,3,4,A,@", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.GasType(0), kGasTypeCatalytic);
         EXPECT_EQ(r.GasType(5), 10);  // read as hexadecimal
         EXPECT_EQ(r.GasType(6), kGasTypeNone);
         EXPECT_FALSE(r.Change_GasType());
       }},
      {"sensor types echo", "IT,W,0,1,2,3,4,5,@", true, nullptr, types},
      {"sensor types echo with @ for a fitted sensor", "IT,W,0,1,2,3,4,@,@", true, nullptr, types},
      {"sensor types echo differs", "IT,W,0,1,2,3,4,4,@", false, nullptr, types},
      {"output mapping", "UG,R,3,0,1,?,0,0,0", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.UG_(0), 3);
         EXPECT_TRUE(r.GasEnabled(0));
         EXPECT_EQ(r.UG_(1), 0);
         EXPECT_FALSE(r.GasEnabled(1));
         EXPECT_EQ(r.UG_(3), 15);
         EXPECT_FALSE(r.Change_UG_(0));
       },
       [](clsInstrument& r, RecordingLink&) { EXPECT_TRUE(r.SetGasEnabled(1, true)); }},
      {"output mapping, six fields, fails silently", "UG,R,3,0,1,1,0,0", false,
       [](const clsInstrument& r, const RecordingLink& link) {
         EXPECT_EQ(r.UG_(0), 0);
         EXPECT_TRUE(link.log.empty());
       }},
      {"output mapping echo", "UG,W,0,1,2,3,4,5,6", true, nullptr, masks},
      {"output mapping echo differs", "UG,W,0,1,2,3,4,5,7", false, nullptr, masks},
      {"zero suppression", "US,R,0,1,@,3,0,0,0", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.ZeroForce(1), 1);
         EXPECT_EQ(r.ZeroForce(2), kGasTypeNone);
         EXPECT_FALSE(r.Change_ZeroForce(2));
       }},
      {"zero suppression echo differs", "US,W,0,1,@,3,0,0,0", false, nullptr},
      {"zero followers as bits", "UZ,R,45", true,
       [](const clsInstrument& r, const RecordingLink&) {
         const Integer expected[] = {1, 0, 1, 0, 0, 0, 1};
         for (int k = 0; k < kSensorChannels; ++k) EXPECT_EQ(r.Zero(k), expected[k]) << k;
         EXPECT_FALSE(r.Change_Zero(6));
       }},
      {"zero followers, two fields", "UZ,R,45,1", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(FormatErrorLogged(link)); }},
      {"zero followers echo", "UZ,W,45", true, nullptr},
      {"zero followers echo of one digit", "UZ,W,5", false,
       [](const clsInstrument&, const RecordingLink& link) {
         EXPECT_EQ(link.log, std::vector<std::string>{"<<< Response error >>>"});
       }},
      {"alternate ranges", "LR,R,A", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.AltRng(1), 1);
         EXPECT_EQ(r.AltRng(2), 0);
         EXPECT_EQ(r.AltRng(3), 1);
         EXPECT_FALSE(r.Change_AltRng(3));
       },
       [](clsInstrument& r, RecordingLink&) { EXPECT_TRUE(r.SetAltRng(2, 1)); }},
      {"alternate ranges of two digits", "LR,R,0A", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(FormatErrorLogged(link)); }},
      {"alternate ranges digit not hexadecimal", "LR,R,G", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.AltRng(1), 0); }},
      {"alternate ranges echo", "LR,W,A", true, nullptr, altRanges},
      {"alternate ranges echo differs", "LR,W,2", false, nullptr, altRanges},
      {"alternate ranges echo missing", "LR,W,", false,
       [](const clsInstrument&, const RecordingLink& link) {
         EXPECT_EQ(link.log, std::vector<std::string>{"<<< Response error >>>"});
       },
       altRanges},
  });
}

// Range settings of the sub-board: channel 4 infrared, 5 PID, 6 without sensor.
TEST(DispatcherChannelTest, InfraredAndPidRanges) {
  const Prepare subBoard = [](clsInstrument& r, RecordingLink&) {
    SetChannel(r, 4, kGasTypeInfrared, 1);
    SetChannel(r, 5, kGasTypePid, 0);
    EXPECT_TRUE(r.SetPIDSmallRange(5, 9));
  };
  RunReplyCases({
      {"full form", "FF,R,1A,1,0064,03E8,6,3,0,0,0,9,9,9,9", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.IRRange(), 26);
         EXPECT_FALSE(r.Change_IRRange());
         // Flags 6: two decimal places, unit index 1.
         EXPECT_EQ(r.IR_Hi_Point(4), 2);
         EXPECT_EQ(r.AutoRange(4), 1);
         EXPECT_FLOAT_EQ(r.changeDenst(4), 1.0F);
         EXPECT_FLOAT_EQ(r.IR_Hi_FullScale(4), 10.0F);
         EXPECT_EQ(r.IR_Hi_Unit(4), "%LEL");
         EXPECT_EQ(r.PIDSmallRange(5), 3);
         EXPECT_FALSE(r.Change_PIDSmallRange(5));
         EXPECT_EQ(r.AutoRange(6), 0);
         EXPECT_FALSE(r.invalidFF());
       },
       subBoard},
      // The older form has no high range: IR_Hi_Point is still unset (-101),
      // so the switching level takes the channel's own decimal places.
      {"older form with an infrared channel", "FF,R,1,1,0064,2,0,9,9", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.AutoRange(4), 1);
         EXPECT_FLOAT_EQ(r.changeDenst(4), 10.0F);
         EXPECT_EQ(r.PIDSmallRange(5), 2);
         EXPECT_TRUE(r.invalidFF());
       },
       subBoard},
      {"eight fields", "FF,R,1,1,0064,2,0,9,9,9", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(FormatErrorLogged(link)); },
       subBoard},
      {"range write acknowledged", "FF,W,1,1,0,0", true, nullptr},
  });
}

}  // namespace
}  // namespace kv
