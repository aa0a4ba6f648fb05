// FrameView: the parts of a frame, found once, with line noise before STX set
// aside; and the dispatcher reading noisy replies through it.
#include "protocol/frame_view.h"

#include <gtest/gtest.h>

#include <string>

#include "protocol/dispatcher_fixture.h"
#include "protocol/framing.h"

namespace kv {
namespace {

using namespace std::string_literals;
using testing::Frame;
using testing::RecordingLink;

struct FrameCase {
  const char* name;
  std::string bytes;
  bool hasStart;
  std::string noise;
  std::string block;
  std::string text;  // raw, between block and ETX
  std::string key;   // from the reply line
  std::string data;  // from the reply line
  std::string checksumDigits;
  char terminator;
  bool checksumMatches;
  bool wellFormed;
  char firstDataChar;
};

const std::string kRead = Frame("VP,R,3021,");
const std::string kAckBlock = BuildCommandLine("ES,R,"s + kACK, kETB);
const std::string kEmpty = Frame("");
const std::string kShortest = Frame("VP,R");  // 13 characters

std::string WithWrongChecksum(std::string frame) {
  frame[frame.size() - 2] = frame[frame.size() - 2] == '0' ? '1' : '0';
  return frame;
}

TEST(FrameViewTest, PartsOfFrames) {
  const std::string badSum = WithWrongChecksum(kRead);
  const std::string headWithNul = "\x02" "0\0" "000VP,R,3021,\x03"s + kRead.substr(kRead.size() - 3);
  const FrameCase cases[] = {
      {"plain read reply", kRead, true, "", "00", "VP,R,3021,", "VP,R", "3021,",
       kRead.substr(kRead.size() - 3, 2), kEOT, true, true, '3'},
      {"NUL before STX", "\0"s + kRead, true, "\0"s, "00", "VP,R,3021,", "VP,R", "3021,",
       kRead.substr(kRead.size() - 3, 2), kEOT, true, true, '3'},
      {"junk before STX", "\xFF\x7Fzz\r\n" + kRead, true, "\xFF\x7Fzz\r\n", "00", "VP,R,3021,",
       "VP,R", "3021,", kRead.substr(kRead.size() - 3, 2), kEOT, true, true, '3'},
      {"stray STX in the noise", "\x02\x15" + kRead, true, "\x02\x15", "00", "VP,R,3021,",
       "VP,R", "3021,", kRead.substr(kRead.size() - 3, 2), kEOT, true, true, '3'},
      {"missing STX", kRead.substr(1), false, kRead.substr(1), "", "", "", "", "", '\0', false,
       false, '\0'},
      {"only control characters", "\0\x01\x02\x03\x04"s, true, "\0\x01"s, "", "", "", "", "\x02\x03",
       kEOT, false, false, '\0'},
      {"a lone terminator", "\x04", false, "\x04", "", "", "", "", "", '\0', false, false, '\0'},
      {"STX alone", "\x02", true, "", "", "", "", "", "", '\0', false, false, '\0'},
      {"cut after the block", "\x02" "0000", true, "", "00", "", "", "", "00", '\0', false, false,
       '\0'},
      {"thirteen characters", kShortest, true, "", "00", "VP,R", "VP,R", "",
       kShortest.substr(kShortest.size() - 3, 2), kEOT, true, true, kShortest[10]},
      {"empty text", kEmpty, true, "", "00", "", "", "", "3B", kEOT, true, true, '\0'},
      {"block ended by ETB", kAckBlock, true, "", "00", "ES,R,"s + kACK, "ES,R", "",
       kAckBlock.substr(kAckBlock.size() - 3, 2), kETB, true, true, kACK},
      {"wrong checksum", badSum, true, "", "00", "VP,R,3021,", "VP,R", "3021,",
       badSum.substr(badSum.size() - 3, 2), kEOT, false, false, '3'},
      {"no ETX before the checksum", "\x02" "0000VP,R,EB\x04", true, "", "00", "VP,R,EB\x04",
       "VP,R", "", "EB", kEOT, false, false, 'E'},
      {"NUL inside the head", headWithNul, true, "", "00", "0VP,R,3021,", "VP,R", "3021,",
       kRead.substr(kRead.size() - 3, 2), kEOT, true, true, ','},
      {"CR and a Latin-1 byte in the data", Frame("GN,R,0\rM\xE9THANE"), true, "", "00",
       "GN,R,0\rM\xE9THANE", "GN,R", "0,MTHANE", HexPair(FrameCheckSum("\x02" "0000GN,R,0\rM\xE9THANE\x03")),
       kEOT, true, true, '0'},
  };
  for (const FrameCase& c : cases) {
    SCOPED_TRACE(c.name);
    const FrameView view(c.bytes);
    EXPECT_EQ(view.HasStart(), c.hasStart);
    EXPECT_EQ(view.Noise(), c.noise);
    EXPECT_EQ(view.Frame().size() + view.Noise().size(), c.bytes.size());
    EXPECT_EQ(view.Block(), c.block);
    EXPECT_EQ(view.Text(), c.text);
    EXPECT_EQ(view.Key(), c.key);
    EXPECT_EQ(view.Code(), c.key.substr(0, 2));
    EXPECT_EQ(view.Access(), c.key.size() > 3 ? c.key[3] : '\0');
    EXPECT_EQ(view.Data(), c.data);
    EXPECT_EQ(view.ChecksumDigits(), c.checksumDigits);
    EXPECT_EQ(view.Terminator(), c.terminator);
    EXPECT_EQ(view.ChecksumMatches(), c.checksumMatches);
    EXPECT_EQ(view.WellFormed(), c.wellFormed);
    EXPECT_EQ(view.FirstDataChar(), c.firstDataChar);
  }
}

TEST(FrameViewTest, BodyIsWhatTheChecksumCovers) {
  const std::string noisy = "\0"s + kRead;
  const FrameView view(noisy);
  EXPECT_EQ(view.Body(), kRead.substr(0, kRead.size() - 3));
  EXPECT_EQ(HexPair(FrameCheckSum(view.Body())), view.ChecksumDigits());
}

// The dispatcher takes a noisy reply as it takes the clean one: the same row,
// the ACK at its place after STX, and an echo compared without the noise.
TEST(FrameViewTest, DispatcherAppliesRepliesWithNoiseBeforeStx) {
  const std::string clockLine = BuildCommandLine("HC,W,260305140709");
  struct Reply {
    const char* name;
    std::string frame;
  };
  const Reply replies[] = {
      {"read", Frame("VP,R,3021")},
      {"acknowledged start", Frame("SZ,W,"s + kACK)},
      {"echoed write", clockLine},
  };
  for (const std::string& noise : {"\0"s, "\0\0\0"s, "\xFF\xFE"s, "zz"s, "\x02\x15"s}) {
    for (const Reply& reply : replies) {
      SCOPED_TRACE(reply.name + (" after " + ToReadable(noise)));
      clsInstrument record;
      RecordingLink link;
      link.lastLineSent = clockLine;
      EXPECT_TRUE(ApplyReply(noise + reply.frame, &record, link));
      EXPECT_TRUE(link.log.empty());
    }
  }
  clsInstrument record;
  RecordingLink link;
  ASSERT_TRUE(ApplyReply("\0"s + Frame("VP,R,3021"), &record, link));
  EXPECT_EQ(record.RomNumber(), 3021);
}

TEST(FrameViewTest, DispatcherRefusesWhatIsNoFrame) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string log;
  };
  const Case cases[] = {
      {"missing STX", Frame("VP,R,3021").substr(1), "<<< Check SUM error >>>"},
      {"only control characters", "\0\x01\x02\x03\x04"s, "<<< Check SUM error >>>"},
      {"thirteen characters after noise", "\0"s + kShortest, "<<< Format error >>>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    clsInstrument record;
    RecordingLink link;
    EXPECT_FALSE(ApplyReply(c.bytes, &record, link));
    EXPECT_EQ(link.log, std::vector<std::string>{c.log});
  }
}

TEST(FrameViewTest, ByteArrayHeadIsReadAtItsFixedPlace) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string head;
  };
  const Case cases[] = {
      {"a command line", BuildCommandLine("WL,W,"), "WL,W,"},
      // Data holding STX: the head is still the first one, not after the last STX.
      {"data holding STX", "\x02" "00" "00" "WB,W," "\x01\x02" "00" "00" "XX,Y,"s, "WB,W,"},
      {"one byte short", "\x02" "00" "00" "WB,W"s, ""},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ByteArrayHead(c.bytes), c.head);
  }
}

}  // namespace
}  // namespace kv
