#pragma once
// The record's value types, as the instrument protocol sizes them.
#include <cstdint>
#include <string>

namespace kv {

using Integer = std::int16_t;  // 16-bit signed
using Long = std::int32_t;     // 32-bit signed
using Single = float;          // 32-bit float: rounding on the wire depends on it
using Date = double;           // date serial: days since 1899-12-30, time as the fraction
using Text = std::string;      // single-byte (Latin-1) text

// Negative codes a reading-type Single holds instead of a value.
inline constexpr Single kNoDataValue = -101.0f;  // "FFFF"

inline constexpr int kChannelRecords = 10;  // 0..6 sensors, 7 ppm and 8 vol% ratio channels, 9 unused
inline constexpr int kSensorChannels = 7;
inline constexpr int kPidEntries = 18;      // 0..16 reachable
inline constexpr int kPidReachable = 17;
inline constexpr int kPidRanges = 2;        // 0 high range (LJ), 1 low range (LI)

// Sensor types of GasType.
inline constexpr Integer kGasTypeCatalytic = 0;
inline constexpr Integer kGasTypeInfrared = 4;
inline constexpr Integer kGasTypePid = 5;
inline constexpr Integer kGasTypeNone = 16;

}  // namespace kv
