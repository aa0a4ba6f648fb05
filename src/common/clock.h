#pragma once

#include "common/datetime.h"

namespace kv {

// The one source of "now" for the whole program. Everything that stamps,
// times out or names a file by date asks an injected Clock, so tests can fix
// the date and advance time without sleeping.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime Now() const = 0;
};

// The local wall-clock time of the machine.
class SystemClock final : public Clock {
 public:
  DateTime Now() const override;
};

// A clock that moves only when told to.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(const DateTime& start = DateTime{2000, 1, 1, 0, 0, 0});

  DateTime Now() const override;

  // Jumps to `value` and drops any pending fraction of a second.
  void Set(const DateTime& value);
  void AdvanceSeconds(long long seconds);
  // Keeps the part below one second, so ten 100 ms steps make one second.
  // A negative step moves the clock back.
  void AdvanceMilliseconds(long long milliseconds);
  // The fraction of the current second already elapsed, 0..999.
  int SubSecondMilliseconds() const { return subSecondMilliseconds_; }

 private:
  DateTime now_;
  int subSecondMilliseconds_ = 0;
};

}  // namespace kv
