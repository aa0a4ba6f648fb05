#include "protocol/codecs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace kv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr float kFloatNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kFloatInf = std::numeric_limits<float>::infinity();

TEST(DecodeValue, DecodesFieldsAndCodes) {
  struct Case {
    std::string field;
    int places;
    float expected;
  };
  const std::vector<Case> cases = {
      {"0064", 1, 10.0F},
      {"0064", 0, 100.0F},
      {"0064", 2, 1.0F},
      {"0000", 3, 0.0F},
      {"D000", 0, 53248.0F},       // last raw count standing for itself
      {"D001", 0, 50100.0F},       // first compressed count
      {"D002", 1, 5020.0F},
      {"FFFE", 0, 1278600.0F},     // largest real value the word carries
      {"DDDD", 2, kCodeDDDD},      // codes ignore the places
      {"FEFE", 0, kCodeFEFE},
      {"FFFF", 1, kNoData},
      {"ffff", 1, kNoData},        // hexadecimal digits in either case
      {" 0064 ", 1, 10.0F},        // blanks around the digits
      {"64", 1, 10.0F},            // no fixed width on reading
      {"OVER", 0, kNoData},        // status words are no hexadecimal numbers
      {"FAIL", 0, kNoData},
      {"", 0, kNoData},
      {"-064", 0, kNoData},
      {"80000000", 0, kNoData},    // does not fit a Long
      {"0064", -1, kNoData},       // unusable places mean "unknown"
      {"0064", kMaxPlaces + 1, kNoData},
      {"0064", std::numeric_limits<int>::min(), kNoData},
      {"DDDD", std::numeric_limits<int>::max(), kCodeDDDD},
  };
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(DecodeValue(c.field, c.places), c.expected)
        << '"' << c.field << "\" with " << c.places << " places";
  }
}

TEST(DecodeValue, ThirtyTwoBitFieldsSaturateAtTheLongLimit) {
  // 7FFFFFFF expands beyond the Long range and must not overflow.
  EXPECT_FLOAT_EQ(DecodeValue("7FFFFFFF", 0), static_cast<float>(kLongMax));
  EXPECT_FLOAT_EQ(DecodeValue("0001D000", 0), 6603600.0F);
}

TEST(DecodeCount, ScalesWholeCounts) {
  struct Case {
    double count;
    int places;
    float expected;
  };
  const std::vector<Case> cases = {
      {100.0, 1, 10.0F},
      {100.4, 1, 10.0F},
      {2.5, 0, 2.0F},          // halves to even
      {3.5, 0, 4.0F},
      {53249.0, 0, 50100.0F},  // compressed like a field
      {56797.0, 0, 404900.0F}, // no special codes in counts: callers check fields first
      {-5.0, 0, -5.0F},
      {kNaN, 0, kNoData},
      {kInf, 0, kNoData},
      {-kInf, 0, kNoData},
      {1e300, 0, kNoData},
      {100.0, -3, kNoData},
  };
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(DecodeCount(c.count, c.places), c.expected)
        << c.count << " with " << c.places << " places";
  }
}

TEST(EncodeValue, EncodesValuesAndCodes) {
  struct Case {
    float value;
    int places;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {10.0F, 1, "0064"},
      {0.0F, 2, "0000"},
      {kCodeFEFE, 0, "FEFE"},
      {kCodeDDDD, 3, "DDDD"},
      {kNoData, 1, "FFFF"},
      {-50.0F, 0, "0000"},       // other negatives carry no meaning on the wire
      {kStatusOver, 0, "0000"},  // status codes have no wire form
      {-0.0F, 0, "0000"},
      {50000.0F, 0, "C350"},
      {50100.0F, 0, "D001"},
      {5010.0F, 1, "D001"},
      {50150.0F, 0, "D002"},     // 1.5 steps: halves to even
      {50250.0F, 0, "D002"},     // 2.5 steps: halves to even
      {1278600.0F, 0, "FFFE"},
      {1278800.0F, 0, "0000"},   // beyond the word: only the last four digits stay
      // Rounding that tells a float from a double and half-even from half-up.
      {2.5F, 0, "0002"},
      {3.5F, 0, "0004"},
      {0.15F, 1, "0002"},        // the float 0.15 lies above 0.15
      {0.25F, 1, "0002"},        // exactly 2.5 steps
      {1.005F, 2, "0064"},       // the float 1.005 lies below 1.005
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeValue(c.value, c.places), c.expected)
        << c.value << " with " << c.places << " places";
  }
}

TEST(EncodeValue, LossyBandJustAbove50000) {
  // 50001..50050 are closer to D000 than to D001, and D000 reads back as 53248.
  for (int value = 50001; value <= 50050; ++value) {
    EXPECT_EQ(EncodeValue(static_cast<float>(value), 0), "D000") << value;
  }
  EXPECT_EQ(EncodeValue(50051.0F, 0), "D001");
  EXPECT_FLOAT_EQ(DecodeValue("D000", 0), 53248.0F);
}

TEST(EncodeValue, WildInputsGiveDefinedFields) {
  struct Case {
    float value;
    int places;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {kFloatNaN, 0, "FFFF"},
      {-kFloatInf, 0, "0000"},
      // The raw count saturates at the Long limit, whose last four digits are FFFF.
      {kFloatInf, 0, "FFFF"},
      {std::numeric_limits<float>::max(), kMaxPlaces, "FFFF"},
      {std::numeric_limits<float>::denorm_min(), kMaxPlaces, "0000"},
      {10.0F, -1, "FFFF"},
      {10.0F, std::numeric_limits<int>::max(), "FFFF"},
      {kCodeFEFE, std::numeric_limits<int>::min(), "FEFE"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeValue(c.value, c.places), c.expected)
        << c.value << " with " << c.places << " places";
  }
}

// Every four-digit field decodes to a value that encodes back to the same
// field, except the raw counts 50001..53248 (C351..D000): they decode to
// themselves, and as values above 50000 they are compressed to
// D000 + round((count - 50000) / 100). Counts above D000 round-trip because
// they stand for exact hundreds; "DDDD", "FEFE", "FFFF" round-trip as codes.
TEST(EncodeValue, RoundTripsEveryDecodedField) {
  constexpr long kFirstLossy = 50001;
  constexpr long kLastLossy = kRawCompressedBase;
  for (int places = 0; places <= 3; ++places) {
    long lossy = 0;
    for (long raw = 0; raw <= 0xFFFF; ++raw) {
      const std::string field = Hex4(raw);
      const std::string encoded = EncodeValue(DecodeValue(field, places), places);
      if (raw >= kFirstLossy && raw <= kLastLossy) {
        ++lossy;
        const long compressed =
            kRawCompressedBase + *RoundToLong(static_cast<double>(raw - 50000) / 100.0);
        ASSERT_EQ(encoded, Hex4(compressed)) << field << " with " << places << " places";
      } else {
        ASSERT_EQ(encoded, field) << "with " << places << " places";
      }
    }
    EXPECT_EQ(lossy, kLastLossy - kFirstLossy + 1);
  }
}

TEST(RawToValue, ExpandsCountsAboveD000) {
  struct Case {
    long raw;
    long expected;
  };
  const std::vector<Case> cases = {
      {0, 0},
      {-7, -7},
      {0xD000, 53248},
      {0xD001, 50100},
      {0xFFFF, 1278700},
      {21527584, 2147483600},  // largest count that still fits a Long
      {21527585, kLongMax},
      {std::numeric_limits<long>::max(), kLongMax},
      {std::numeric_limits<long>::min(), kLongMin},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RawToValue(c.raw), c.expected) << c.raw;
  }
}

TEST(ValueToRaw, CompressesValuesAbove50000) {
  struct Case {
    double value;
    long expected;
  };
  const std::vector<Case> cases = {
      {0.0, 0},
      {2.5, 2},
      {3.5, 4},
      {-2.5, -2},
      {50000.0, 50000},
      {50001.0, 0xD000},
      {50050.0, 0xD000},
      {50051.0, 0xD001},
      {50100.0, 0xD001},
      {1278700.0, 0xFFFF},
      {kNaN, 0},
      {kInf, kLongMax},
      {-kInf, kLongMin},
      {1e300, kLongMax},
      {-1e300, kLongMin},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ValueToRaw(c.value), c.expected) << c.value;
  }
}

TEST(HexFormatting, PadsAndKeepsTheLastDigits) {
  struct Case {
    std::string actual;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {HexByte(0), "00"},
      {HexByte(10), "0A"},
      {HexByte(255), "FF"},
      {HexByte(0x1AB), "AB"},
      {HexByte(-1), "FF"},
      {HexWord(100.0), "0064"},
      {HexWord(50100.0), "D001"},
      {HexWord(-101.0), "FF9B"},  // two's complement: not the no-data field
      {HexWord(kNaN), "0000"},
      {Hex4(0x12345), "2345"},
      {Hex4(90), "005A"},
      {HexText(10), "A"},
      {HexText(0), "0"},
      {HexText(-1), "FFFFFFFF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.actual, c.expected);
  }
}

TEST(Units, NamesAndIndices) {
  const std::vector<std::string> names = {"vol%", "%LEL", "ppm", "ppb"};
  for (int index = 0; index < 4; ++index) {
    EXPECT_EQ(UnitText(index), names[static_cast<std::size_t>(index)]);
    EXPECT_EQ(UnitIndex(names[static_cast<std::size_t>(index)]), index);
  }
  EXPECT_EQ(UnitText(4), "");
  EXPECT_EQ(UnitText(-1), "");
  EXPECT_EQ(UnitIndex("VOL%"), 0);
  EXPECT_EQ(UnitIndex("PPM"), 0);  // only the two spellings of vol% are case-free
  EXPECT_EQ(UnitIndex(""), 0);
}

TEST(RangeFlags, SplitsUnitAndPoints) {
  struct Case {
    int flags;
    std::string unit;
    int points;
  };
  const std::vector<Case> cases = {
      {12, "ppb", 0},
      {4, "%LEL", 0},
      {3, "vol%", 3},
      {0b1110, "ppb", 2},
      {0b10010110, "%LEL", 2},  // higher bits are ignored
      {-1, "ppb", 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RangeFlagsUnit(c.flags), c.unit) << c.flags;
    EXPECT_EQ(RangeFlagsPoints(c.flags), c.points) << c.flags;
  }
}

TEST(Intervals, CodesAndSecondsBothWays) {
  struct Case {
    int code;
    int seconds;
  };
  const std::vector<Case> table = {
      {0, 5}, {1, 10}, {2, 20}, {3, 30}, {4, 60}, {5, 180}, {6, 300}, {7, 600},
  };
  for (const auto& c : table) {
    EXPECT_EQ(IntervalSeconds(c.code), c.seconds) << c.code;
    EXPECT_EQ(IntervalCode(c.seconds), c.code) << c.seconds;
  }
  EXPECT_EQ(IntervalSeconds(9), 300);
  EXPECT_EQ(IntervalSeconds(-1), 300);
  EXPECT_EQ(IntervalCode(45), 0);
  EXPECT_EQ(IntervalCode(0), 0);
}

TEST(DecodeSpecialCode, RecognisesOnlyTheThreeWireCodes) {
  EXPECT_EQ(DecodeSpecialCode("FFFF"), kNoData);
  EXPECT_EQ(DecodeSpecialCode("FEFE"), kCodeFEFE);
  EXPECT_EQ(DecodeSpecialCode(" dddd "), kCodeDDDD);
  EXPECT_EQ(DecodeSpecialCode("0FFFF"), std::nullopt);
  EXPECT_EQ(DecodeSpecialCode("DDD"), std::nullopt);
  EXPECT_EQ(DecodeSpecialCode("0064"), std::nullopt);
  EXPECT_EQ(DecodeSpecialCode(""), std::nullopt);
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double value;
    double expected;
  };
  const std::vector<Case> cases = {
      {0.5, 0.0}, {1.5, 2.0}, {2.5, 2.0}, {-0.5, 0.0}, {-1.5, -2.0},
      {2.4999999999999996, 2.0}, {1e20, 1e20}, {4503599627370497.0, 4503599627370497.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundHalfEven(c.value), c.expected) << c.value;
  }
  EXPECT_TRUE(std::isnan(RoundHalfEven(kNaN)));
  EXPECT_EQ(RoundToLong(2147483647.4), kLongMax);
  EXPECT_EQ(RoundToLong(-2147483648.5), kLongMin);
  EXPECT_EQ(RoundToLong(2147483647.5), std::nullopt);
  EXPECT_EQ(RoundToLong(kNaN), std::nullopt);
  EXPECT_EQ(RoundToLong(-kInf), std::nullopt);
}

}  // namespace
}  // namespace kv
