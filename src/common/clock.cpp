#include "common/clock.h"

#include <ctime>

namespace kv {

DateTime SystemClock::Now() const {
  const std::time_t seconds = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  if (localtime_s(&local, &seconds) != 0) {
    return DateTime{};
  }
#else
  if (localtime_r(&seconds, &local) == nullptr) {
    return DateTime{};
  }
#endif
  const int second = local.tm_sec < 60 ? local.tm_sec : 59;  // a leap second reads as :59
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
          second};
}

ManualClock::ManualClock(const DateTime& start) : now_(start) {}

DateTime ManualClock::Now() const { return now_; }

void ManualClock::Set(const DateTime& value) {
  now_ = value;
  subSecondMilliseconds_ = 0;
}

void ManualClock::AdvanceSeconds(long long seconds) { now_ = AddSeconds(now_, seconds); }

void ManualClock::AdvanceMilliseconds(long long milliseconds) {
  // Split before combining so that a huge step cannot overflow.
  long long wholeSeconds = milliseconds / 1000;
  int fraction = subSecondMilliseconds_ + static_cast<int>(milliseconds % 1000);
  if (fraction >= 1000) {
    fraction -= 1000;
    ++wholeSeconds;
  } else if (fraction < 0) {
    fraction += 1000;
    --wholeSeconds;
  }
  subSecondMilliseconds_ = fraction;
  now_ = AddSeconds(now_, wholeSeconds);
}

}  // namespace kv
