// Alarm levels, calibration values and history, catalytic constants and ratios.
#include "common/datetime.h"
#include "protocol/dispatcher_fixture.h"

namespace kv {
namespace {

using testing::Frame;
using testing::RecordingLink;
using testing::ReplyCase;
using testing::RunReplyCases;
using testing::SetChannel;

using Prepare = std::function<void(clsInstrument&, RecordingLink&)>;

// Channel 0 catalytic with full scale 100 and whole counts; channels 1..6 with
// one decimal place; FL_(0) as given.
Prepare CatalyticInstrument(Long fl0) {
  return [fl0](clsInstrument& r, RecordingLink&) {
    SetChannel(r, 0, kGasTypeCatalytic, 0, 100.0F);
    for (int k = 1; k < kSensorChannels; ++k) SetChannel(r, k, 1, 1);
    EXPECT_TRUE(r.SetFL_(0, fl0));
  };
}

Prepare EchoOf(const std::string& reply) {
  return [reply](clsInstrument&, RecordingLink& link) { link.lastLineSent = Frame(reply); };
}

TEST(DispatcherLevelsTest, AlarmLevels) {
  const std::string warnings = "A1,W,0032,0064,0064,0064,0064,0064,0064";
  RunReplyCases({
      {"warning levels in the channel's places", "A1,R,0032,0064,0064,0064,0064,0064,DDDD", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_FLOAT_EQ(r.Warning(0), 50.0F);
         EXPECT_FLOAT_EQ(r.Warning(1), 10.0F);
         EXPECT_FLOAT_EQ(r.Warning(6), -121.0F);
         EXPECT_FALSE(r.Change_Warn(1));
       },
       [](clsInstrument& r, RecordingLink&) {
         EXPECT_TRUE(r.SetGasPoint(1, 1));
         EXPECT_TRUE(r.SetWarning(1, 3.0F));
       }},
      {"warning levels, six fields", "A1,R,0032,0064,0064,0064,0064,0064", false,
       [](const clsInstrument& r, const RecordingLink& link) {
         EXPECT_FLOAT_EQ(r.Warning(0), kNoDataValue);
         EXPECT_EQ(link.log, std::vector<std::string>{"<<< Format error >>>"});
       }},
      {"alarm levels", "A2,R,0001,0002,0003,0004,0005,0006,0007", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_FLOAT_EQ(r.Alarm(6), 7.0F);
         EXPECT_FALSE(r.Change_Alarm(6));
       }},
      {"STEL levels", "AS,R,0001,0002,0003,0004,0005,0006,0007", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_FLOAT_EQ(r.Stel(2), 3.0F); }},
      {"TWA levels", "AW,R,0001,0002,0003,0004,0005,0006,0007", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_FLOAT_EQ(r.Twa(3), 4.0F); }},
      {"warning write echoed", warnings, true, nullptr, EchoOf(warnings)},
      {"warning write echoed differently", "A1,W,0032,0064,0064,0064,0064,0064,0065", false, nullptr,
       EchoOf(warnings)},
      {"warning write with a field left empty, six fields", "A1,W,0032,0064,0064,0064,0064,0064",
       false, nullptr, EchoOf("A1,W,0032,0064,0064,0064,0064,0064")},
  });
}

TEST(DispatcherLevelsTest, AutomaticCalibration) {
  RunReplyCases({
      // Catalytic: RawToValue(200) x 100 / 200 = 100 counts.
      {"catalytic value relative to FL_(0)", "SA,R,00C8,0064,FFFF,0001,0001,0001,0001", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_FLOAT_EQ(r.AutoCalib(0), 100.0F);
         EXPECT_FLOAT_EQ(r.AutoCalib(1), 10.0F);
         EXPECT_FLOAT_EQ(r.AutoCalib(2), -101.0F);
         EXPECT_FALSE(r.Change_AutoCal(0));
       },
       CatalyticInstrument(200)},
      {"catalytic FFFF is no data", "SA,R,FFFF,0001,0001,0001,0001,0001,0001", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_FLOAT_EQ(r.AutoCalib(0), -101.0F); },
       CatalyticInstrument(200)},
      {"catalytic FEFE", "SA,R,FEFE,0001,0001,0001,0001,0001,0001", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_FLOAT_EQ(r.AutoCalib(0), -118.0F); },
       CatalyticInstrument(200)},
      {"catalytic DDDD", "SA,R,DDDD,0001,0001,0001,0001,0001,0001", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_FLOAT_EQ(r.AutoCalib(0), -121.0F); },
       CatalyticInstrument(200)},
      {"catalytic without FL_(0)", "SA,R,00C8,0001,0001,0001,0001,0001,0001", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_FLOAT_EQ(r.AutoCalib(0), -101.0F); },
       CatalyticInstrument(0)},
      {"a bad channel fails the reply but not the others", "SA,R,00C8,0001,0001,XY,0002,0002,0002",
       false,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_FLOAT_EQ(r.AutoCalib(3), 5.0F);
         EXPECT_TRUE(r.Change_AutoCal(3));
         EXPECT_FLOAT_EQ(r.AutoCalib(4), 0.2F);
       },
       [](clsInstrument& r, RecordingLink& link) {
         CatalyticInstrument(200)(r, link);
         EXPECT_TRUE(r.SetAutoCalib(3, 5.0F));
       }},
      {"calibration write with empty channels echoed", "SA,W,0064,,,,,,0001", true, nullptr,
       EchoOf("SA,W,0064,,,,,,0001")},
  });
}

TEST(DispatcherLevelsTest, CalibrationHistory) {
  const std::string date = "260102030405";
  std::string allChannels = "SO,R,0";
  for (int c = 0; c < kSensorChannels; ++c) {
    allChannels += "," + std::string(c == 3 ? "261302030405" : date) + ",0032,0064";
  }
  const Date calibrated = ToSerialDate(DateTime{2026, 1, 2, 3, 4, 5});
  RunReplyCases({
      {"all channels", allChannels, true,
       [&](const clsInstrument& r, const RecordingLink&) {
         // Catalytic: 50 x 100 / 200 and 100 x 100 / 200.
         EXPECT_FLOAT_EQ(r.CalibBefore(0), 25.0F);
         EXPECT_FLOAT_EQ(r.CalibAfter(0), 50.0F);
         EXPECT_DOUBLE_EQ(r.CalibDate(0), calibrated);
         EXPECT_FLOAT_EQ(r.CalibBefore(1), 5.0F);
         // An invalid date keeps the old one; the readings are still stored.
         EXPECT_DOUBLE_EQ(r.CalibDate(3), -101.0);
         EXPECT_FLOAT_EQ(r.CalibAfter(3), 10.0F);
       },
       CatalyticInstrument(200)},
      {"catalytic codes are not scaled", "SO,R,1," + date + ",FFFF,DDDD", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_FLOAT_EQ(r.CalibBefore(0), -101.0F);
         EXPECT_FLOAT_EQ(r.CalibAfter(0), -121.0F);
       },
       CatalyticInstrument(200)},
      {"catalytic without FL_(0)", "SO,R,1," + date + ",0032,0064", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_FLOAT_EQ(r.CalibAfter(0), -101.0F); },
       CatalyticInstrument(0)},
      {"one channel", "SO,R,3," + date + ",0032,0064", true,
       [&](const clsInstrument& r, const RecordingLink&) {
         EXPECT_DOUBLE_EQ(r.CalibDate(2), calibrated);
         EXPECT_FLOAT_EQ(r.CalibAfter(2), 10.0F);
         EXPECT_FLOAT_EQ(r.CalibAfter(1), kNoDataValue);
       },
       CatalyticInstrument(200)},
      {"a ten-character date keeps the old one", "SO,R,3,2601020304,0032,0064", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_DOUBLE_EQ(r.CalibDate(2), -101.0);
         EXPECT_FLOAT_EQ(r.CalibBefore(2), 5.0F);
       },
       CatalyticInstrument(200)},
      {"five fields fail silently", "SO,R,3," + date + ",0032,0064,1", false,
       [](const clsInstrument& r, const RecordingLink& link) {
         EXPECT_FLOAT_EQ(r.CalibAfter(2), kNoDataValue);
         EXPECT_TRUE(link.log.empty());
       }},
  });
}

TEST(DispatcherLevelsTest, CatalyticConstantsAndRatios) {
  const Prepare ratioPlaces = [](clsInstrument& r, RecordingLink&) {
    EXPECT_TRUE(r.SetGasPoint(7, 1));
    EXPECT_TRUE(r.SetGasPoint(8, 2));
  };
  RunReplyCases({
      {"ratios: ppm rounded, vol% with places", "AC,R,0065,00C8,0032,0064", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.CATppm1st(), 10);  // 10.1
         EXPECT_EQ(r.CATppm2nd(), 20);
         EXPECT_FLOAT_EQ(r.CATvol1st(), 0.5F);
         EXPECT_FLOAT_EQ(r.CATvol2nd(), 1.0F);
         EXPECT_FALSE(r.Change_CATppm1());
         EXPECT_FALSE(r.Change_CATvol2());
       },
       ratioPlaces},
      {"ratios, three fields", "AC,R,0065,00C8,0032", false,
       [](const clsInstrument& r, const RecordingLink& link) {
         EXPECT_EQ(r.CATppm1st(), 0);
         EXPECT_TRUE(link.log.empty());
       }},
      {"ratios write echoed", "AC,W,0065,00C8,0032,0064", true, nullptr,
       EchoOf("AC,W,0065,00C8,0032,0064")},
      {"other gas value", "FH,R,25", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.CATOtherEV(), 25);
         EXPECT_FALSE(r.Change_CATOtherEV());
       }},
      {"four constants", "FL,R,1388,D001,0001,0002", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.FL_(0), 5000);
         EXPECT_EQ(r.FL_(1), 50100);
         EXPECT_EQ(r.FL_(3), 2);
         EXPECT_FLOAT_EQ(r.Ratio(0), 5000.0F);
         EXPECT_FALSE(r.Change_FL_(3));
         EXPECT_FALSE(r.invalidFL_());
       }},
      {"two constants (older form)", "FL,R,1388,0010", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.FL_(1), 16);
         EXPECT_EQ(r.FL_(2), 7);
         EXPECT_FLOAT_EQ(r.Ratio(0), 5000.0F);
         EXPECT_TRUE(r.invalidFL_());
       },
       [](clsInstrument& r, RecordingLink&) { EXPECT_TRUE(r.SetFL_(2, 7)); }},
      {"three constants", "FL,R,1,2,3", false,
       [](const clsInstrument&, const RecordingLink& link) {
         EXPECT_EQ(link.log, std::vector<std::string>{"<<< Format error >>>"});
       }},
  });
}

}  // namespace
}  // namespace kv
