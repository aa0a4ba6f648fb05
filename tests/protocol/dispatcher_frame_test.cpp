// Frame checks of the dispatcher, the catalogue's key set, replies without a
// record, and the rule for fields that do not convert.
#include <algorithm>
#include <set>

#include "protocol/catalogue_rows.h"
#include "protocol/dispatcher_fixture.h"

namespace kv {
namespace {

using testing::Fields;
using testing::Frame;
using testing::RecordingLink;
using testing::ReplyCase;
using testing::RunReplyCases;

TEST(DispatcherFrameTest, BadChecksumIsLoggedAndStoresNothing) {
  std::string frame = Frame("VP,R,1234");
  frame[frame.size() - 2] = frame[frame.size() - 2] == '0' ? '1' : '0';
  clsInstrument record;
  RecordingLink link;
  EXPECT_FALSE(ApplyReply(frame, &record, link));
  EXPECT_EQ(record.RomNumber(), 0);
  EXPECT_EQ(link.log, std::vector<std::string>{"<<< Check SUM error >>>"});
}

TEST(DispatcherFrameTest, ThirteenCharacterFrameIsAFormatErrorDespiteItsChecksum) {
  const std::string frame = Frame("VP,R");
  ASSERT_EQ(frame.size(), 13U);
  ASSERT_TRUE(ChecksumMatches(frame));
  clsInstrument record;
  RecordingLink link;
  EXPECT_FALSE(ApplyReply(frame, &record, link));
  EXPECT_EQ(link.log, std::vector<std::string>{"<<< Format error >>>"});
}

TEST(DispatcherFrameTest, KeysOutsideTheCatalogueAreResponseErrors) {
  // GJ,W is written to files but the instrument's acknowledgement has no row.
  for (const char* reply : {"ZZ,R,1", "GJ,W,CH4", "VP,W,1", "vp,R,1"}) {
    SCOPED_TRACE(reply);
    clsInstrument record;
    RecordingLink link;
    EXPECT_FALSE(ApplyReply(Frame(reply), &record, link));
    EXPECT_EQ(link.log, std::vector<std::string>{"<<< Response error >>>"});
  }
}

TEST(DispatcherFrameTest, CarriageReturnSeparatesFieldsLikeAComma) {
  clsInstrument record;
  RecordingLink link;
  EXPECT_TRUE(ApplyReply(Frame("HH,R,10\r20"), &record, link));
  EXPECT_EQ(record.HH_(0), 0x10);
  EXPECT_EQ(record.HH_(1), 0x20);
}

TEST(DispatcherFrameTest, WithoutARecordOnlyRepliesThatLeaveItAloneAreAccepted) {
  RecordingLink link;
  EXPECT_FALSE(ApplyReply(Frame("VP,R,1234"), nullptr, link));
  EXPECT_TRUE(ApplyReply(Frame("RC,R,KORVIN"), nullptr, link));
  EXPECT_TRUE(ApplyReply(Frame("DN,R,0001,0002,0003,0004,0005,0006,0007"), nullptr, link));
  EXPECT_TRUE(link.readings.empty());
  EXPECT_FALSE(ApplyReply(Frame("DN,R,0001"), nullptr, link));  // the count is still checked
  EXPECT_TRUE(link.Logged("<<< Format error >>>"));
}

TEST(DispatcherFrameTest, CatalogueAnswersEveryCodeWithItsAccessLetters) {
  struct Group {
    std::vector<std::string> codes;
    std::string letters;
  };
  const std::vector<Group> groups = {
      {{"RC"}, "RA"},
      {{"VP", "VS", "EP", "EF", "ES", "DN", "HA", "H2", "GJ", "SO"}, "R"},
      {{"IN", "HN", "HC", "UJ", "XS", "XZ", "XV", "AP", "SD", "SC", "SM", "XP", "XI", "XL",
        "XA", "XB", "XW", "XT", "UL", "AT", "AL", "AQ", "SJ", "LF", "HB", "UV", "AF", "UI",
        "UW", "XD", "BN", "XE", "SG", "LP", "WB", "HH", "HE", "RP", "SI"},
       "RW"},
      {{"XC"}, "RWE"},
      {{"SZ", "S1"}, "RWC"},
      {{"S2", "UX"}, "WC"},
      {{"RO", "ET", "UD", "UP"}, "W"},
      {{"BP"}, "RAW"},
      {{"MM"}, "RWSEC"},
      {{"GN", "GP", "GF", "GD", "GU", "G1", "IT", "UG", "US", "UZ", "LR", "FF", "A1", "A2",
        "AS", "AW", "SA", "AC", "FH", "FL", "LO", "LB", "LN", "LA", "LS", "LI", "LJ"},
       "RW"},
  };
  std::vector<std::string> expected;
  std::set<std::string> codes;
  for (const auto& group : groups) {
    for (const auto& code : group.codes) {
      codes.insert(code);
      for (const char letter : group.letters) {
        expected.push_back(code + "," + letter);
      }
    }
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(codes.size(), 88U);
  EXPECT_EQ(CatalogueKeys(), expected);
}

// A field that does not convert stops its row: earlier fields stay stored.
// Most rows then refuse the reply; rows that accept before their last steps
// keep it accepted.
TEST(DispatcherFrameTest, ConversionFailureStopsTheRowWithTheResultSoFar) {
  RunReplyCases({
      {"GP stops at channel 2", "GP,R,1,2,XX,1,1,1,1", false,
       [](const clsInstrument& r, const RecordingLink& link) {
         EXPECT_EQ(r.GasPoint(0), 1);
         EXPECT_EQ(r.GasPoint(1), 2);
         EXPECT_EQ(r.GasPoint(2), 0);
         EXPECT_FALSE(r.Change_GasPoint(1));
         EXPECT_TRUE(link.log.empty());  // no message for a conversion failure
       }},
      {"16-bit field above 32767", "SC,R,8000", false,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.CalLimit(), 90); }},
      {"XV keeps the station when the user field is bad", "XV,R,03,QQ", false,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.XV_(0), 3);
         EXPECT_EQ(r.XV_(1), 1);
       }},
      {"FL accepts before its values", "FL,R,0064,XYZ", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.FL_(0), 100);
         EXPECT_EQ(r.FL_(1), 0);
         EXPECT_FALSE(r.invalidFL_());
         EXPECT_EQ(r.Ratio(0), kNoDataValue);  // the ratio step was not reached
       }},
      {"HE accepts before its values", "HE,R,10,ZZ,30", true,
       [](const clsInstrument& r, const RecordingLink&) {
         EXPECT_EQ(r.HE_(0), 0x10);
         EXPECT_EQ(r.HE_(2), 0);
       }},
      {"FH accepts before its value", "FH,R,abc", true,
       [](const clsInstrument& r, const RecordingLink&) { EXPECT_EQ(r.CATOtherEV(), 0); }},
      {"GP,W echo that does not convert stays accepted", "GP,W,0,0,ZZ,0,0,0,0", true, nullptr},
      {"GP,W echo that differs is refused", "GP,W,0,0,1,0,0,0,0", false, nullptr},
      {"WB,W echo that does not convert stays accepted", "WB,W,0,QQ,1", true, nullptr},
      {"UG,W empty echo field stays accepted", "UG,W,0,,0,0,0,0,0", true, nullptr},
  });
}

}  // namespace
}  // namespace kv
