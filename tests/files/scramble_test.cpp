#include "files/scramble.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

TEST(ScrambleLine, KnownText) {
  EXPECT_EQ(ScrambleLine("abc"), "GLILKL");
  EXPECT_EQ(ScrambleLine(""), "");
  EXPECT_EQ(UnscrambleLine("GLILKL"), "abc");
}

// Every byte value, at every position a record text reaches.
TEST(ScrambleLine, UnscrambleInvertsEveryByteAtEveryPosition) {
  std::string allBytes;
  for (int c = 0; c < 256; ++c) allBytes += static_cast<char>(c);
  for (std::size_t offset = 0; offset < 160; offset += 7) {
    const std::string text = std::string(offset, 'A') + allBytes;
    const std::string scrambled = ScrambleLine(text);
    ASSERT_EQ(scrambled.size(), text.size() * 2);
    EXPECT_EQ(UnscrambleLine(scrambled), text) << "offset " << offset;
  }
}

TEST(ScrambleLine, PrintableRecordTextsStayBetweenFAndU) {
  const std::string scrambled = ScrambleLine("XS,W,06,STATION-A-LONG-N,");
  for (const char c : scrambled) {
    EXPECT_GE(c, 'F');
    EXPECT_LE(c, 'U');
  }
}

TEST(UnscrambleLine, IgnoresAFinalOddCharacterAndRefusesDamagedPairs) {
  EXPECT_EQ(UnscrambleLine("GLILKLX"), "abc");
  EXPECT_EQ(UnscrambleLine("G"), "");
  // "FF" at position 0 is code 0; at position 1 it would be -1.
  EXPECT_EQ(UnscrambleLine("FF"), std::string(1, '\0'));
  EXPECT_FALSE(UnscrambleLine("GLFF").has_value());
  // A high character far beyond "U" gives a code above 255.
  EXPECT_FALSE(UnscrambleLine("Fz").has_value());
}

}  // namespace
}  // namespace kv
