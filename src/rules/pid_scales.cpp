#include "rules/pid_scales.h"

#include <array>

#include "rules/edit_check.h"

namespace kv::rules {
namespace {

constexpr std::array<PidScale, 13> kHighRange = {{
    {500, "500.0", "1/10", 0.2, 0.25, 0.49},
    {1000, "1000", "1/1", 1, 0.5, 0.74},
    {1500, "1500", "1/1", 1, 0.75, 0.99},
    {2000, "2000", "1/1", 1, 1.0, 1.24},
    {2500, "2500", "1/1", 1, 1.25, 1.49},
    {3000, "3000", "1/1", 2, 1.5, 1.99},
    {4000, "4000", "1/1", 2, 2.0, 2.49},
    {5000, "5000", "1/1", 2, 2.5, 4.99},
    {10000, "10000", "1/1", 10, 5.0, 7.49},
    {15000, "15000", "1/1", 10, 7.5, 9.99},
    {20000, "20000", "1/1", 10, 10, 14.99},
    {30000, "30000", "1/1", 20, 15, 24.99},
    {50000, "50000", "1/1", 20, 25, 25},
}};

constexpr std::array<PidScale, 13> kLowRange = {{
    {10, "10.00", "1/100", 0.01, 0.2, 0.29},
    {15, "15.00", "1/100", 0.01, 0.3, 0.39},
    {20, "20.00", "1/100", 0.01, 0.4, 0.49},
    {25, "25.00", "1/100", 0.01, 0.5, 0.59},
    {30, "30.00", "1/100", 0.02, 0.6, 0.79},
    {40, "40.00", "1/100", 0.02, 0.8, 0.99},
    {50, "50.00", "1/100", 0.02, 1.0, 1.99},
    {100, "100.0", "1/10", 0.1, 2.0, 2.99},
    {150, "150.0", "1/10", 0.1, 3.0, 3.99},
    {200, "200.0", "1/10", 0.1, 4.0, 5.99},
    {300, "300.0", "1/10", 0.2, 6.0, 7.99},
    {400, "400.0", "1/10", 0.2, 8.0, 9.99},
    {500, "500.0", "1/10", 0.2, 10, 10},
}};

}  // namespace

std::span<const PidScale> PidScales(int range) {
  if (range == kPidHighRange) return kHighRange;
  if (range == kPidLowRange) return kLowRange;
  return {};
}

const PidScale* FindPidScale(int range, double fullScale) {
  for (const PidScale& scale : PidScales(range)) {
    if (scale.fullScale == fullScale) return &scale;
  }
  return nullptr;
}

int PidPointOf(std::string_view resolution) {
  const std::string_view wanted = Trim(resolution);
  for (std::size_t point = 0; point < std::size(kPidResolutions); ++point) {
    if (kPidResolutions[point] == wanted) return static_cast<int>(point);
  }
  return -1;
}

}  // namespace kv::rules
