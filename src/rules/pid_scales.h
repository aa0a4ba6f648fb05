#pragma once
// The full scales a PID sensor range may have, and what each full scale fixes:
// the resolution, the digit value and the range of the response factor.
#include <span>
#include <string_view>

namespace kv::rules {

inline constexpr int kPidHighRange = 0;
inline constexpr int kPidLowRange = 1;

struct PidScale {
  double fullScale;
  std::string_view fullScaleText;  // as the grid shows it ("500.0", "10.00")
  std::string_view resolution;     // "1/1", "1/10" or "1/100"
  double digit;                    // the sensor's digit value in ppm
  double lowestFactor, highestFactor;
};

// The thirteen full scales of a range (0 high, 1 low); empty for another range.
std::span<const PidScale> PidScales(int range);
// The scale of a full scale value, nullptr when the range has no such full scale.
const PidScale* FindPidScale(int range, double fullScale);

// The resolution texts of column "Point", index = decimal places.
inline constexpr std::string_view kPidResolutions[] = {"1/1", "1/10", "1/100", "1/1000"};
// Decimal places of a resolution text, -1 when it is none of them.
int PidPointOf(std::string_view resolution);

}  // namespace kv::rules
