#include "protocol/codecs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "protocol/field_parse.h"

namespace kv {
namespace {

struct SpecialCode {
  std::string_view wire;
  float value;
};
constexpr std::array<SpecialCode, 3> kSpecialCodes{{
    {"FFFF", kNoData},
    {"FEFE", kCodeFEFE},
    {"DDDD", kCodeDDDD},
}};

constexpr std::array<std::string_view, 4> kUnitNames{"vol%", "%LEL", "ppm", "ppb"};

struct UnitSpelling {
  std::string_view text;
  int index;
};
constexpr std::array<UnitSpelling, 5> kUnitSpellings{{
    {"vol%", 0}, {"VOL%", 0}, {"%LEL", 1}, {"ppm", 2}, {"ppb", 3},
}};

struct Interval {
  int code;
  int seconds;
};
constexpr std::array<Interval, 8> kIntervals{{
    {0, 5}, {1, 10}, {2, 20}, {3, 30}, {4, 60}, {5, 180}, {6, 300}, {7, 600},
}};
constexpr int kDefaultIntervalSeconds = 300;
constexpr int kDefaultIntervalCode = 0;

constexpr std::string_view kNoDataWire = "FFFF";
constexpr std::string_view kZeroWire = "0000";

// Beyond this magnitude every double is a whole number.
constexpr double kAllIntegral = 4503599627370496.0;  // 2^52

// 0.1^places, or nothing when the instrument gave an unusable number of places.
std::optional<double> PlacesScale(int places) {
  if (places < 0 || places > kMaxPlaces) {
    return std::nullopt;
  }
  return std::pow(0.1, places);
}

// x rounded half-even and held within the Long range; x must not be NaN.
long SaturatingRound(double x) {
  const double rounded = RoundHalfEven(x);
  if (rounded <= static_cast<double>(kLongMin)) return kLongMin;
  if (rounded >= static_cast<double>(kLongMax)) return kLongMax;
  return static_cast<long>(rounded);
}

float ScaleValue(long value, int places) {
  const auto scale = PlacesScale(places);
  if (!scale) {
    return kNoData;
  }
  // |value| <= 2^31, far inside the float range.
  return static_cast<float>(static_cast<double>(value) * *scale);
}

// The low `width` hexadecimal digits of x's two's complement, uppercase.
std::string FixedHex(long x, int width) {
  static constexpr std::string_view kDigits = "0123456789ABCDEF";
  auto bits = static_cast<unsigned long>(x);
  std::string text(static_cast<std::size_t>(width), '0');
  for (auto it = text.rbegin(); it != text.rend(); ++it) {
    *it = kDigits[bits & 0xFUL];
    bits >>= 4;
  }
  return text;
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

double RoundHalfEven(double x) {
  if (!std::isfinite(x) || std::fabs(x) >= kAllIntegral) {
    return x;
  }
  const double below = std::floor(x);
  const double fraction = x - below;  // exact below 2^52
  if (fraction < 0.5) return below;
  if (fraction > 0.5) return below + 1.0;
  return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::optional<long> RoundToLong(double x) {
  const double rounded = RoundHalfEven(x);
  if (std::isnan(rounded) || rounded < static_cast<double>(kLongMin) ||
      rounded > static_cast<double>(kLongMax)) {
    return std::nullopt;
  }
  return static_cast<long>(rounded);
}

std::optional<float> DecodeSpecialCode(std::string_view field) {
  std::string upper = Trim(field);
  std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
  for (const auto& special : kSpecialCodes) {
    if (upper == special.wire) {
      return special.value;
    }
  }
  return std::nullopt;
}

float DecodeValue(std::string_view field, int places) {
  if (const auto special = DecodeSpecialCode(field)) {
    return *special;
  }
  const auto raw = ParseHex32(field);
  if (!raw) {
    return kNoData;
  }
  return ScaleValue(RawToValue(*raw), places);
}

float DecodeCount(double count, int places) {
  const auto raw = RoundToLong(count);
  if (!raw) {
    return kNoData;
  }
  return ScaleValue(RawToValue(*raw), places);
}

std::string EncodeValue(float value, int places) {
  if (std::isnan(value)) {
    return std::string(kNoDataWire);
  }
  if (value < 0.0F) {
    for (const auto& special : kSpecialCodes) {
      if (value == special.value) {
        return std::string(special.wire);
      }
    }
    return std::string(kZeroWire);
  }
  const auto scale = PlacesScale(places);
  if (!scale) {
    return std::string(kNoDataWire);
  }
  const double count = RoundHalfEven(static_cast<double>(value) / *scale);
  return Hex4(ValueToRaw(count));
}

long RawToValue(long raw) {
  if (raw <= kRawCompressedBase) {
    return std::max(raw, kLongMin);
  }
  constexpr long kLargestExpandable =
      (kLongMax - kValueCompressedBase) / 100 + kRawCompressedBase;
  if (raw > kLargestExpandable) {
    return kLongMax;
  }
  return (raw - kRawCompressedBase) * 100 + kValueCompressedBase;
}

long ValueToRaw(double value) {
  if (std::isnan(value)) {
    return 0;
  }
  if (value <= static_cast<double>(kValueCompressedBase)) {
    return SaturatingRound(value);
  }
  return SaturatingRound((value - static_cast<double>(kValueCompressedBase)) / 100.0 +
                         static_cast<double>(kRawCompressedBase));
}

std::string HexByte(long x) { return FixedHex(x, 2); }

std::string HexWord(double x) { return Hex4(ValueToRaw(x)); }

std::string Hex4(long x) { return FixedHex(x, 4); }

std::string HexText(long x) {
  const std::string all = FixedHex(x, 8);
  const auto first = all.find_first_not_of('0');
  return first == std::string::npos ? std::string("0") : all.substr(first);
}

std::string UnitText(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= kUnitNames.size()) {
    return {};
  }
  return std::string(kUnitNames[static_cast<std::size_t>(index)]);
}

int UnitIndex(std::string_view text) {
  for (const auto& spelling : kUnitSpellings) {
    if (text == spelling.text) {
      return spelling.index;
    }
  }
  return 0;
}

std::string RangeFlagsUnit(int flags) {
  return UnitText(static_cast<int>((static_cast<unsigned>(flags) >> 2U) & 3U));
}

int RangeFlagsPoints(int flags) { return static_cast<int>(static_cast<unsigned>(flags) & 3U); }

int IntervalSeconds(int code) {
  for (const auto& interval : kIntervals) {
    if (interval.code == code) {
      return interval.seconds;
    }
  }
  return kDefaultIntervalSeconds;
}

int IntervalCode(int seconds) {
  for (const auto& interval : kIntervals) {
    if (interval.seconds == seconds) {
      return interval.code;
    }
  }
  return kDefaultIntervalCode;
}

}  // namespace kv
