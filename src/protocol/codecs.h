// Value codecs shared by the reply dispatcher, the write transaction and the
// maintenance data file.
//
// Reading-type values travel as four hexadecimal digits holding a raw count;
// counts above D000 are compressed (one step per 100) so that values up to
// 1278700 fit the word. A value carries p decimal places: value = raw x 0.1^p.
//
// Decimal places come from the instrument. Only 0..kMaxPlaces are meaningful;
// any other number of places is treated as "unknown": decoding gives kNoData
// and encoding gives "FFFF" (no data) for any value that is not itself a code.
//
// Long results keep to the instrument's signed 32-bit range: conversions
// saturate at its limits instead of overflowing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kv {

// Negative codes that a reading-type value holds instead of a real value.
inline constexpr float kNoData = -101.0F;     // wire form "FFFF"
inline constexpr float kCodeFEFE = -118.0F;   // wire form "FEFE"
inline constexpr float kCodeDDDD = -121.0F;   // wire form "DDDD"
// Status codes; only maintenance data files carry them (as status words).
inline constexpr float kStatusNormal = -102.0F;    // NOR
inline constexpr float kStatusWarning = -103.0F;   // WAR
inline constexpr float kStatusAlarm = -104.0F;     // ALR
inline constexpr float kStatusStel = -105.0F;      // STE
inline constexpr float kStatusTwa = -106.0F;       // TWA
inline constexpr float kStatusOver = -107.0F;      // OVE
inline constexpr float kStatusFail = -110.0F;      // FAI
inline constexpr float kStatusMax = -115.0F;       // MAX
inline constexpr float kStatusMin = -116.0F;       // MIN

inline constexpr int kMaxPlaces = 9;
inline constexpr long kLongMin = -2147483647L - 1;
inline constexpr long kLongMax = 2147483647L;
// Largest raw count that stands for itself; above it raw counts are compressed.
inline constexpr long kRawCompressedBase = 0xD000;   // 53248
// Largest value that ValueToRaw passes through unchanged.
inline constexpr long kValueCompressedBase = 50000;

// x rounded to the nearest whole number, halves to the even neighbour.
// NaN and infinities come back unchanged.
double RoundHalfEven(double x);
// RoundHalfEven(x) as a Long; empty for NaN and for results outside the Long range.
std::optional<long> RoundToLong(double x);

// "FFFF", "FEFE" and "DDDD" (surrounding spaces and letter case ignored) give
// kNoData, kCodeFEFE and kCodeDDDD; any other field gives nothing.
std::optional<float> DecodeSpecialCode(std::string_view field);

// A value field with `places` decimal places. A field that is not a
// hexadecimal number fitting a Long (status words such as "OVER" included)
// gives kNoData.
float DecodeValue(std::string_view field, int places);
// The same for a whole decimal count instead of a field: RawToValue(count
// rounded) x 0.1^places. A count that is NaN, infinite or beyond the Long range
// gives kNoData. No special codes are recognised here.
float DecodeCount(double count, int places);

// Four uppercase hexadecimal digits for a value with `places` decimal places.
// The codes kCodeDDDD, kNoData and kCodeFEFE give "DDDD", "FFFF", "FEFE"; other
// negative values give "0000"; NaN gives "FFFF". The value is scaled as the
// float it is (widened, not re-read as a decimal) and rounded halves to even;
// only the last four digits of the raw count are kept.
std::string EncodeValue(float value, int places);

// Raw count to value: raw up to D000 stands for itself, above it for
// 50000 + (raw - D000) x 100.
long RawToValue(long raw);
// Value to raw count, the inverse of RawToValue for whole values up to 50000
// and for 50100, 50200, ...; halves round to even, so 50001..50050 all give
// D000, which reads back as 53248. NaN gives 0.
long ValueToRaw(double value);

// The last two digits of x in uppercase hexadecimal, zero-padded ("hex2").
std::string HexByte(long x);
// ValueToRaw(x) as four uppercase hexadecimal digits (last four kept).
std::string HexWord(double x);
// x as exactly four uppercase hexadecimal digits, zero-padded, last four kept ("hex4").
std::string Hex4(long x);
// x in uppercase hexadecimal without padding; negative x as its 32-bit two's complement.
std::string HexText(long x);

// Unit names by index: 0 "vol%", 1 "%LEL", 2 "ppm", 3 "ppb", others "".
std::string UnitText(int index);
// The inverse; "VOL%" is also 0 and any unknown text gives 0.
int UnitIndex(std::string_view text);

// A range flag word: bits 2..3 hold the unit index, bits 0..1 the decimal places.
std::string RangeFlagsUnit(int flags);
int RangeFlagsPoints(int flags);

// Logging interval codes: 0 5 s, 1 10 s, 2 20 s, 3 30 s, 4 60 s, 5 180 s,
// 6 300 s, 7 600 s. Unknown codes mean 300 s; unknown intervals send code 0.
int IntervalSeconds(int code);
int IntervalCode(int seconds);

}  // namespace kv
