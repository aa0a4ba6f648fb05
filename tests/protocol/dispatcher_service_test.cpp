// Service operations and their completion polls, memory access, live readings.
#include "protocol/dispatcher_fixture.h"

namespace kv {
namespace {

using testing::Fields;
using testing::kAckText;
using testing::kNakText;
using testing::kSubText;
using testing::RecordingLink;
using testing::ReplyCase;
using testing::RunReplyCases;
using testing::SetChannel;

bool ResponseErrorLogged(const RecordingLink& link) {
  return link.log == std::vector<std::string>{"<<< Response error >>>"};
}

TEST(DispatcherServiceTest, CalibrationAndServiceReplies) {
  RunReplyCases({
      {"zero values", "SZ,R,1,2,3,4,5,6,7,8,A", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.SZ_(0), 1);
         EXPECT_EQ(r.SZ_(8), 10);
       }},
      {"zero values, eight fields", "SZ,R,1,2,3,4,5,6,7,8", false, nullptr},
      {"span values", "S1,R,1,2,3,4,5,6,F", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.S1_(6), 15); }},
      {"zero start acknowledged", "SZ,W," + kAckText, true, nullptr},
      {"zero start refused", "SZ,W," + kNakText, false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(ResponseErrorLogged(link)); }},
      {"span start acknowledged", "S2,W," + kAckText, true, nullptr},
      {"defaults start acknowledged", "UX,W," + kAckText, true, nullptr},
      {"power off acknowledged", "RO,W," + kAckText, true, nullptr},
      {"sub-board end acknowledged", "ET,W," + kAckText, true, nullptr},
      {"save as default acknowledged", "UD,W," + kAckText, true, nullptr},
      {"factory settings acknowledged", "UP,W," + kAckText, true, nullptr},
      {"log clearing ended", "XC,E," + kAckText, true, nullptr},
      {"log clearing end without ACK", "XC,E,0", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(ResponseErrorLogged(link)); }},
      // The instrument answers a span start on the old code with anything but ACK.
      {"span start on S1 answered", "S1,W,0", true, nullptr},
      {"span start on S1 with ACK", "S1,W," + kAckText, false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(link.log.empty()); }},
      {"busy poll set", "BP,R,", true,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_EQ(link.busyPoll, true); }},
      {"busy poll cleared", "BP,A,", true,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_EQ(link.busyPoll, false); }},
      {"pump switched", "BP,W,1", true,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_FALSE(link.busyPoll.has_value()); }},
  });
}

// A completion poll answered with SUB is a complete exchange that leaves the
// result empty, so the operation polls again instead of resending and failing.
TEST(DispatcherServiceTest, CompletionPolls) {
  const auto keepsOldResults = [](clsInstrument&, RecordingLink& link) {
    link.zeroResult = link.spanResult = link.defaultStatus = "OLD";
  };
  RunReplyCases({
      {"zero finished", "SZ,C,0,0,1,0,0,0,0", true,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_EQ(link.zeroResult, "0010000"); }},
      {"zero not finished", "SZ,C," + kSubText, true,
       [](const clsInstrument&, const RecordingLink& link) {
         EXPECT_EQ(link.zeroResult, "");
         EXPECT_TRUE(link.log.empty());
       },
       keepsOldResults},
      {"zero answer with three fields", "SZ,C,0,0,1", false,
       [](const clsInstrument&, const RecordingLink& link) {
         EXPECT_EQ(link.zeroResult, "");
         EXPECT_TRUE(ResponseErrorLogged(link));
       },
       keepsOldResults},
      {"span finished", "S2,C,1,0,0,0,0,0,0", true,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_EQ(link.spanResult, "1000000"); }},
      {"span not finished", "S2,C," + kSubText, true,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_EQ(link.spanResult, ""); },
       keepsOldResults},
      {"old span finished", "S1,C,0100000", true,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_EQ(link.spanResult, "0100000"); }},
      {"old span not finished", "S1,C," + kSubText, true,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_EQ(link.spanResult, ""); },
       keepsOldResults},
      {"old span answer too short", "S1,C,12", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(ResponseErrorLogged(link)); }},
      {"defaults finished", "UX,C,0", true,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_EQ(link.defaultStatus, "0"); }},
      {"defaults not finished", "UX,C," + kSubText, true,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_EQ(link.defaultStatus, ""); },
       keepsOldResults},
      {"defaults answer with two fields", "UX,C,0,1", false,
       [](const clsInstrument&, const RecordingLink& link) {
         EXPECT_EQ(link.defaultStatus, "OLD");
         EXPECT_TRUE(ResponseErrorLogged(link));
       },
       keepsOldResults},
  });
}

TEST(DispatcherServiceTest, MemoryAccess) {
  const std::string row = "0123456789ABCDEF0123456789ABCDEF";
  RunReplyCases({
      {"transfer read", "MM,R,", true, nullptr},
      {"transfer write", "MM,W,", true, nullptr},
      {"transfer start", "MM,S," + kAckText, true, nullptr},
      {"transfer start refused", "MM,S," + kNakText, false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(link.log.empty()); }},
      {"transfer end", "MM,E," + kAckText, true, nullptr},
      // The ACK is a field of its own and is looked for before control characters go.
      {"block accepted", "MM,C,!,AB," + kAckText, true, nullptr},
      {"block not accepted", "MM,C,!,AB,X", false, nullptr},
      {"flash image", "EP,R,", true, nullptr},
      {"one full row in block 2", "EF,R,0,2,0," + row, true,
       [&](const clsInstrument&, const RecordingLink& link) {
         ASSERT_EQ(link.dumpList.size(), 1U);
         EXPECT_EQ(link.dumpList[0].name, row);
         EXPECT_EQ(link.dumpList[0].address, 128);
       }},
      {"short row filled with F", "ES,R,0,1,0,0123", true,
       [](const clsInstrument&, const RecordingLink& link) {
         ASSERT_EQ(link.dumpList.size(), 1U);
         EXPECT_EQ(link.dumpList[0].name, "0123" + std::string(28, 'F'));
         EXPECT_EQ(link.dumpList[0].address, 0);
       }},
      {"two rows step 16 bytes", "EF,R,0,3,0," + row + "0011", true,
       [](const clsInstrument&, const RecordingLink& link) {
         ASSERT_EQ(link.dumpList.size(), 2U);
         EXPECT_EQ(link.dumpList[1].name, "0011" + std::string(28, 'F'));
         EXPECT_EQ(link.dumpList[0].address, 256);
         EXPECT_EQ(link.dumpList[1].address, 272);
       }},
      {"empty dump row", "ES,R,0,1,0,", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(link.dumpList.empty()); }},
  });
}

TEST(DispatcherServiceTest, LiveReadingsAndAnalogueValues) {
  // Channel 0 catalytic (full scale 100, FL_(0) 200, whole counts), the others
  // one decimal place.
  const auto instrument = [](Long fl0) {
    return [fl0](clsInstrument& r, RecordingLink&) {
      SetChannel(r, 0, kGasTypeCatalytic, 0, 100.0F);
      for (int k = 1; k < kSensorChannels; ++k) SetChannel(r, k, 1, 1);
      EXPECT_TRUE(r.SetFL_(0, fl0));
    };
  };
  const auto expectReadings = [](std::array<Single, kSensorChannels> expected) {
    return [expected](const clsInstrument& r, const RecordingLink& link) {
      for (int k = 0; k < kSensorChannels; ++k) {
        EXPECT_FLOAT_EQ(r.LimitValue(k), expected[static_cast<std::size_t>(k)]) << "channel " << k;
      }
      ASSERT_EQ(link.readings.size(), 1U);
      EXPECT_EQ(link.readings[0], expected);
    };
  };
  std::vector<std::string> analog14;
  for (int k = 0; k < 14; ++k) analog14.push_back("1000" + std::to_string(k % 10));
  RunReplyCases({
      {"readings", "DN,R,00C8,0064,0102,0000,FFFF,FEFE,DDDD", true,
       expectReadings({100.0F, 10.0F, 25.8F, 0.0F, -101.0F, -118.0F, -121.0F}), instrument(200)},
      {"catalytic codes are not scaled", "DN,R,FFFF,0001,0001,0001,0001,0001,0001", true,
       expectReadings({-101.0F, 0.1F, 0.1F, 0.1F, 0.1F, 0.1F, 0.1F}), instrument(200)},
      {"catalytic DDDD", "DN,R,DDDD,0001,0001,0001,0001,0001,0001", true,
       expectReadings({-121.0F, 0.1F, 0.1F, 0.1F, 0.1F, 0.1F, 0.1F}), instrument(200)},
      {"catalytic FEFE", "DN,R,FEFE,0001,0001,0001,0001,0001,0001", true,
       expectReadings({-118.0F, 0.1F, 0.1F, 0.1F, 0.1F, 0.1F, 0.1F}), instrument(200)},
      {"catalytic without FL_(0) has no data", "DN,R,00C8,0001,0001,0001,0001,0001,0001", true,
       expectReadings({-101.0F, 0.1F, 0.1F, 0.1F, 0.1F, 0.1F, 0.1F}), instrument(0)},
      {"six readings", "DN,R,0001,0001,0001,0001,0001,0001", false,
       [](const clsInstrument&, const RecordingLink& link) {
         EXPECT_EQ(link.log, std::vector<std::string>{"<<< Format error >>>"});
       },
       instrument(200)},
      {"bad reading stops the row", "DN,R,0064,0064,00G4,0064,0064,0064,0064", false,
       [](const clsInstrument& r, const RecordingLink& link) {
         EXPECT_FLOAT_EQ(r.LimitValue(1), 10.0F);
         EXPECT_TRUE(link.readings.empty());
       },
       instrument(200)},
      {"analogue values 0..13", "HA,R," + Fields(analog14), true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.AnalogValue(0), 0x10000);
         EXPECT_EQ(r.AnalogValue(13), 0x10003);
       }},
      {"analogue values, 13 fields", "HA,R,1,2,3,4,5,6,7,8,9,A,B,C,D", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_TRUE(ResponseErrorLogged(link)); }},
      {"analogue values 14..25", "H2,R,1,2,3,4,5,6,7,8,9,A,B,C", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.AnalogValue(14), 1);
         EXPECT_EQ(r.AnalogValue(25), 12);
       }},
  });
}

}  // namespace
}  // namespace kv
