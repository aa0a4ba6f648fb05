#include "protocol/framing.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

using namespace std::string_literals;

TEST(FramingTest, ReadCommandFramesToTheExactBytes) {
  const std::string expected = "\x02" "0000VP,R,\x03" "EB\x04";
  EXPECT_EQ(BuildCommandLine("VP,R,"), expected);
  EXPECT_EQ(expected.size(), 14U);
}

TEST(FramingTest, ChecksumField) {
  struct Case {
    std::string commandText;
    char terminator;
    std::string block;
    std::string checksum;
  };
  const Case cases[] = {
      {"VP,R,", kEOT, "00", "EB"},
      {"RC,R,      ", kEOT, "00", "3C"},  // the connect probe
      {";", kEOT, "00", "00"},            // frame sum 256: no remainder to cancel
      {"", kEOT, "00", "3B"},             // 256 - (2 + 4*'0' + 3) = 59
      {"MM,R,", kETB, "0A", "E6"},        // memory block index in the block field
  };
  for (const auto& [commandText, terminator, block, checksum] : cases) {
    const std::string line = BuildCommandLine(commandText, terminator, block);
    SCOPED_TRACE(ToReadable(line));
    ASSERT_EQ(line.size(), commandText.size() + 9);
    EXPECT_EQ(line.substr(0, 5), "\x02" "00" + block);
    EXPECT_EQ(line.substr(line.size() - 3, 2), checksum);
    EXPECT_EQ(line.back(), terminator);
    EXPECT_TRUE(ChecksumMatches(line));
  }
}

TEST(FramingTest, ChecksumCountsBytesAsUnsigned) {
  EXPECT_EQ(FrameCheckSum(""), 0);
  EXPECT_EQ(FrameCheckSum("\xFF"), 0x01);
  EXPECT_EQ(FrameCheckSum("\x80\x80"), 0x00);
  EXPECT_EQ(FrameCheckSum(std::string(100000, '\xFF')), 0xA0);  // sum 0x1851960
}

TEST(FramingTest, ChecksumMatchesRejectsDamagedFrames) {
  const std::string good = BuildCommandLine("VP,R,");
  EXPECT_TRUE(ChecksumMatches(good));

  std::string lowercase = good;
  lowercase.replace(lowercase.size() - 3, 2, "eb");
  EXPECT_TRUE(ChecksumMatches(lowercase));

  std::string wrongDigits = good;
  wrongDigits.replace(wrongDigits.size() - 3, 2, "EC");
  EXPECT_FALSE(ChecksumMatches(wrongDigits));

  std::string damagedText = good;
  damagedText[6] = 'Q';
  EXPECT_FALSE(ChecksumMatches(damagedText));

  std::string notHex = good;
  notHex.replace(notHex.size() - 3, 2, "G0");
  EXPECT_FALSE(ChecksumMatches(notHex));

  EXPECT_FALSE(ChecksumMatches("\x04"));
  EXPECT_FALSE(ChecksumMatches(""));
  EXPECT_TRUE(ChecksumMatches("00\x04"));  // empty body: checksum 0
}

TEST(FramingTest, FirstTerminatorPicksTheSmallestPositivePosition) {
  struct Case {
    int a, b, c, expected;
  };
  const Case cases[] = {
      {0, 0, 0, 0}, {5, 0, 0, 5}, {0, 7, 0, 7}, {9, 4, 0, 4},
      {4, 9, 0, 4}, {0, 0, 3, 3}, {8, 6, 7, 6}, {-1, 2, -5, 2},
  };
  for (const auto& [a, b, c, expected] : cases) {
    EXPECT_EQ(FirstTerminator(a, b, c), expected) << a << ',' << b << ',' << c;
  }
}

TEST(FramingTest, ReadableFormTagsControlCharacters) {
  EXPECT_EQ(ToReadable(BuildCommandLine("VP,R,")), "[STX]0000VP,R,[ETX]EB[EOT]");
  struct Case {
    std::string text;
    std::string readable;
  };
  const Case cases[] = {
      {"\x05\x06\x15\x17\x1A\x1B", "[ENQ][ACK][NAK][ETB][SUB][ESC]"},
      {"a\r\nb", "a\r\nb"},
      {"\x01\x1F\x7F", "[01][1F]\x7F"},
      {"\0x"s, "[00]x"},
      {"\xE9\xFF", "\xE9\xFF"},
  };
  for (const auto& [text, readable] : cases) {
    EXPECT_EQ(ToReadable(text), readable);
  }
}

TEST(FramingTest, StripControlCharsKeepsOnlyPrintableAscii) {
  EXPECT_EQ(StripControlChars("\x02" "00" "00VP,R,0\r1\x03" "EB\x04\x7F\x80\xE9\0"s),
            "0000VP,R,01EB\x7F");
}

TEST(FramingTest, BytesToTextKeepsEveryByte) {
  const unsigned char bytes[] = {0x02, 0x00, 0x41, 0xFF, 0x04};
  EXPECT_EQ(BytesToText(bytes, sizeof bytes), "\x02\0A\xFF\x04"s);
  EXPECT_EQ(BytesToText(nullptr, 3), "");
}

TEST(FramingTest, AcknowledgementLines) {
  const std::string plain = BuildCommandLine("GN,W,0,METHANE");
  const std::string withIh = BuildCommandLine("IH,W,01,ABC");
  struct Case {
    std::string lastLine;
    char ackOrNak;
    bool allowSevenCharHead;
    std::string head;
  };
  const Case cases[] = {
      {plain, kACK, true, "GN,W,"},
      {plain, kNAK, true, "GN,W,"},
      {withIh, kACK, true, "IH,W,01"},
      {withIh, kNAK, false, "IH,W,"},  // the time-out NAK
      {BuildCommandLine("XY,R,IH"), kACK, true, "XY,R,IH"},  // "IH" anywhere counts
      {"\x02" "0000", kACK, true, ""},
  };
  for (const auto& [lastLine, ackOrNak, allowSevenCharHead, head] : cases) {
    SCOPED_TRACE(ToReadable(lastLine));
    const std::string ack = BuildAckLine(lastLine, ackOrNak, allowSevenCharHead);
    EXPECT_EQ(ack, BuildCommandLine(head + ackOrNak, kETB, "00"));
    EXPECT_EQ(ack.back(), kETB);
  }
  EXPECT_EQ(CommandHead(withIh), "IH,W,01");
  EXPECT_EQ(CommandHead(plain), "GN,W,");
  EXPECT_EQ(CommandHead("\x02" "0000AB"), "AB");  // shorter line, shorter head
  EXPECT_EQ(CommandHead(""), "");
}

class ReceiveBufferTest : public ::testing::Test {
 protected:
  const std::string first_ = BuildCommandLine("VP,R,0123", kETB);
  const std::string second_ = BuildCommandLine("VP,R,4567", kEOT);
  ReceiveBuffer buffer_;
};

TEST_F(ReceiveBufferTest, TwoFramesInOnePieceAreCutInOrder) {
  ASSERT_TRUE(buffer_.Append(first_ + second_));
  EXPECT_EQ(buffer_.TakeFrame(), first_);
  EXPECT_EQ(buffer_.TakeFrame(), second_);
  EXPECT_EQ(buffer_.TakeFrame(), std::nullopt);
  EXPECT_TRUE(buffer_.Empty());
}

TEST_F(ReceiveBufferTest, BytesAfterTheLastTerminatorWaitForTheRest) {
  const std::size_t split = 6;
  ASSERT_TRUE(buffer_.Append(first_ + second_.substr(0, split)));
  EXPECT_EQ(buffer_.TakeFrame(), first_);
  EXPECT_EQ(buffer_.TakeFrame(), std::nullopt);
  EXPECT_TRUE(buffer_.HasPartialReply());
  EXPECT_EQ(buffer_.Text(), second_.substr(0, split));

  ASSERT_TRUE(buffer_.Append(second_.substr(split)));
  EXPECT_FALSE(buffer_.HasPartialReply());
  EXPECT_EQ(buffer_.TakeFrame(), second_);
  EXPECT_FALSE(buffer_.HasPartialReply());
}

TEST_F(ReceiveBufferTest, CarriageReturnWithoutTerminatorIsReported) {
  ASSERT_TRUE(buffer_.Append("ERROR\r"));
  EXPECT_TRUE(buffer_.HasCarriageReturnWithoutTerminator());
  EXPECT_TRUE(buffer_.HasPartialReply());
  ASSERT_TRUE(buffer_.Append("\x04"));
  EXPECT_FALSE(buffer_.HasCarriageReturnWithoutTerminator());
  buffer_.Clear();
  EXPECT_TRUE(buffer_.Empty());
  EXPECT_FALSE(buffer_.HasPartialReply());
  EXPECT_FALSE(buffer_.HasCarriageReturnWithoutTerminator());
}

TEST(ReceiveBufferBoundTest, RejectsWhatWouldOverflowAndKeepsTheRest) {
  ReceiveBuffer small(16);
  ASSERT_TRUE(small.Append("0123456789"));
  EXPECT_FALSE(small.Append("0123456"));  // 17 bytes would not fit
  EXPECT_EQ(small.Text(), "0123456789");
  EXPECT_TRUE(small.Append("ABCDE\x04"));  // exactly full
  EXPECT_EQ(small.Size(), 16U);
  EXPECT_EQ(small.TakeFrame(), "0123456789ABCDE\x04");
  EXPECT_TRUE(small.Append("0123456789"));
}

TEST(ReceiveBufferBoundTest, FloodWithoutTerminatorsStopsAtTheDefaultBound) {
  ReceiveBuffer buffer;
  const std::string chunk(1000, 'A');
  int accepted = 0;
  while (buffer.Append(chunk)) {
    ++accepted;
    ASSERT_LE(accepted, 1000) << "the buffer never refused";
  }
  EXPECT_EQ(accepted, 65);  // 65 * 1000 <= 65536 < 66 * 1000
  EXPECT_LE(buffer.Size(), ReceiveBuffer::kDefaultCapacity);
  EXPECT_EQ(ReceiveBuffer::kDefaultCapacity, 64U * 1024U);
  EXPECT_EQ(buffer.TakeFrame(), std::nullopt);
}

}  // namespace
}  // namespace kv
