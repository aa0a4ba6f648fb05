// Identity, firmware, clock, station and user list replies.
#include "common/datetime.h"
#include "protocol/dispatcher_fixture.h"

namespace kv {
namespace {

using testing::Fields;
using testing::Frame;
using testing::RecordingLink;
using testing::ReplyCase;
using testing::RunReplyCases;

std::vector<std::string> Names(const std::string& prefix, int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(prefix + std::to_string(i));
  return names;
}

TEST(DispatcherIdentityTest, IdentityAndClockReplies) {
  const double twoHoursSevenMinutesNine = (2 * 3600 + 7 * 60 + 9) / 86400.0;
  RunReplyCases({
      {"model named: connect", "RC,R,KORVIN V2.10", true,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_EQ(link.connects, 1); }},
      {"other model", "RC,R,TZ7100", false,
       [](const clsInstrument&, const RecordingLink& link) { EXPECT_EQ(link.connects, 0); }},
      {"connect acknowledgement", "RC,A,", true, nullptr},
      {"firmware number is 32 bit", "VP,R,70000", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.RomNumber(), 70000); }},
      {"firmware number not numeric", "VP,R,12A", false,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.RomNumber(), 0); }},
      {"firmware sum", "VS,R,1A2B", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.SUM(), "1A2B"); }},
      {"firmware sum not hexadecimal", "VS,R,XYZ", false,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.SUM(), ""); }},
      {"serial number read", "IN,R,KV-000123", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.SerialNo(), "KV-000123");
         EXPECT_FALSE(r.Change_SerialNo());
       },
       [](clsInstrument& r, RecordingLink&) { r.SetSerialNo("OLD"); }},
      {"serial number echo", "IN,W,KV-000123", true, nullptr,
       [](clsInstrument& r, RecordingLink&) { r.SetSerialNo("KV-000123"); }},
      {"serial number echo differs", "IN,W,KV-000124", false, nullptr,
       [](clsInstrument& r, RecordingLink&) { r.SetSerialNo("KV-000123"); }},
      {"second serial read", "HN,R,DUMMY7", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.DummySerial(), "DUMMY7");
         EXPECT_FALSE(r.Change_DummySerial());
       },
       [](clsInstrument& r, RecordingLink&) { r.SetDummySerial("OLD"); }},
      {"second serial echo differs", "HN,W,DUMMY8", false, nullptr,
       [](clsInstrument& r, RecordingLink&) { r.SetDummySerial("DUMMY7"); }},
      {"clock", "HC,R,260305120000", true,
       [&](const clsInstrument& r, const RecordingLink& link) {
         EXPECT_DOUBLE_EQ(r.SysDate(), ToSerialDate(DateTime{2026, 3, 5, 12, 0, 0}));
         EXPECT_NEAR(r.SysDateOffset(), twoHoursSevenMinutesNine, 1e-9);
         EXPECT_TRUE(link.log.empty());
       }},
      {"clock with month 13", "HC,R,261305120000", false,
       [](const clsInstrument& r, const RecordingLink& link) {
         EXPECT_EQ(r.SysDate(), 0);
         EXPECT_EQ(r.FailLine(), "HC,R");
         EXPECT_EQ(link.log, std::vector<std::string>{"<<< improper date at HC >>> 261305120000"});
       }},
      {"clock of 10 characters fails silently", "HC,R,2603051200", false,
       [](const clsInstrument& r, const RecordingLink& link) {
         EXPECT_EQ(r.FailLine(), "");
         EXPECT_TRUE(link.log.empty());
       }},
      {"clock set echoes the line", "HC,W,260305140709", true, nullptr,
       [](clsInstrument&, RecordingLink& link) { link.lastLineSent = Frame("HC,W,260305140709"); }},
      {"clock set answered with another line", "HC,W,260305140710", false,
       [](const clsInstrument&, const RecordingLink& link) {
         EXPECT_EQ(link.log, std::vector<std::string>{"<<< Response error >>>"});
       },
       [](clsInstrument&, RecordingLink& link) { link.lastLineSent = Frame("HC,W,260305140709"); }},
      {"specification type", "UJ,R,3", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.SpecType(), "3");
         EXPECT_FALSE(r.Change_SpecType());
       }},
      {"specification type 5 is refused", "UJ,R,5", false,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.SpecType(), "0"); }},
      {"specification type echo", "UJ,W,3", true, nullptr,
       [](clsInstrument& r, RecordingLink&) { r.SetSpecType("3"); }},
      {"specification type echo differs", "UJ,W,2", false, nullptr,
       [](clsInstrument& r, RecordingLink&) { r.SetSpecType("3"); }},
  });
}

TEST(DispatcherIdentityTest, StationAndUserLists) {
  const auto lowerHalf = Names("LOW", 64);
  const auto upperHalf = Names("UP", 64);
  const auto users = Names("USER", 32);
  RunReplyCases({
      {"stations 0..63", "XS,R,00," + Fields(lowerHalf), true,
       [&](const clsInstrument& r, const RecordingLink&) {
         for (int i = 0; i < 64; ++i) {
           EXPECT_EQ(r.XS_(i), lowerHalf[static_cast<std::size_t>(i)]);
           EXPECT_FALSE(r.Change_XS_(i));
         }
         EXPECT_EQ(r.XS_(64), "KEEP");
       },
       [](clsInstrument& r, RecordingLink&) {
         EXPECT_TRUE(r.SetXS_(64, "KEEP"));
         EXPECT_TRUE(r.SetXS_(0, "OLD"));
       }},
      {"stations 64..127", "XS,R,FF," + Fields(upperHalf), true,
       [&](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.XS_(63), "KEEP");
         for (int i = 0; i < 64; ++i) EXPECT_EQ(r.XS_(64 + i), upperHalf[static_cast<std::size_t>(i)]);
       },
       [](clsInstrument& r, RecordingLink&) { EXPECT_TRUE(r.SetXS_(63, "KEEP")); }},
      {"one station", "XS,R,03,THIRD", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.XS_(3), "THIRD");
         EXPECT_FALSE(r.Change_XS_(3));
         EXPECT_EQ(r.XS_(2), "KEEP");
       },
       [](clsInstrument& r, RecordingLink&) { EXPECT_TRUE(r.SetXS_(2, "KEEP")); }},
      {"station index beyond the list", "XS,R,FE,NAME", false, nullptr},
      {"station echo names entry 5 by number 6", "XS,W,06,NAME   ", true, nullptr,
       [](clsInstrument& r, RecordingLink&) { EXPECT_TRUE(r.SetXS_(5, "NAME")); }},
      {"station echo differs", "XS,W,06,OTHER", false, nullptr,
       [](clsInstrument& r, RecordingLink&) { EXPECT_TRUE(r.SetXS_(5, "NAME")); }},
      {"station echo of entry 0 names nothing", "XS,W,00,", false, nullptr},
      {"users 0..31", "XZ,R,00," + Fields(users), true,
       [&](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.XZ_(0), "USER0");
         EXPECT_EQ(r.XZ_(31), "USER31");
         EXPECT_FALSE(r.Change_XZ_(31));
       }},
      {"one user", "XZ,R,07,SEVEN", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.XZ_(7), "SEVEN"); }},
      {"user index beyond the list", "XZ,R,21,NAME", false, nullptr},
      {"user echo", "XZ,W,02,ANNA", true, nullptr,
       [](clsInstrument& r, RecordingLink&) { EXPECT_TRUE(r.SetXZ_(1, "ANNA")); }},
      {"selection 00 and 05", "XV,R,00,05", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.XV_(0), 1);
         EXPECT_EQ(r.XV_(1), 5);
         // The selected number indexes the list directly.
         EXPECT_EQ(r.StationID(), "SECOND");
         EXPECT_EQ(r.UserID(), "USER5");
         EXPECT_FALSE(r.Change_XV_(0));
         EXPECT_FALSE(r.Change_XV_(1));
       },
       [](clsInstrument& r, RecordingLink&) {
         EXPECT_TRUE(r.SetXS_(0, "FIRST"));
         EXPECT_TRUE(r.SetXS_(1, "SECOND"));
         EXPECT_TRUE(r.SetXZ_(5, "USER5"));
       }},
      {"selection echo", "XV,W,02,03", true, nullptr,
       [](clsInstrument& r, RecordingLink&) {
         EXPECT_TRUE(r.SetXV_(0, 2));
         EXPECT_TRUE(r.SetXV_(1, 3));
       }},
      {"selection echo differs", "XV,W,02,04", false, nullptr,
       [](clsInstrument& r, RecordingLink&) {
         EXPECT_TRUE(r.SetXV_(0, 2));
         EXPECT_TRUE(r.SetXV_(1, 3));
       }},
  });
}

}  // namespace
}  // namespace kv
