#pragma once

#include <string>

namespace kv {

// A calendar date and wall-clock time of day, to the second, without a time zone.
struct DateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;

  bool operator==(const DateTime&) const = default;
};

// True for a real calendar date in the years 100..9999 with a time of day
// 00:00:00..23:59:59 (the span a date serial can hold).
bool IsValidDateTime(const DateTime& value);

// Date serial: days since 1899-12-30, the time of day as the fraction. A date
// before 1899-12-30 has a negative whole part while its fraction still counts
// forward from midnight (-1.25 is 1899-12-29 06:00), so the serial -101 is
// 1899-09-20 00:00:00.
double ToSerialDate(const DateTime& value);

// Rounds to the nearest second. A serial that is not finite or lies outside
// the years 100..9999 gives the serial origin 1899-12-30 00:00:00.
DateTime FromSerialDate(double serial);

// "yyyy/MM/dd HH:mm:ss", the general date form written in logs and files.
std::string FormatGeneralDate(const DateTime& value);

// "hh:nn:ss" with 24-hour hours, the time stamp of a log entry.
std::string FormatTimeOfDay(const DateTime& value);

// An elapsed time as "hh:nn:ss" (75 gives "00:01:15"). Hours are not folded
// into days and grow past two digits if needed; a negative span (the clock
// was set back) is shown by its magnitude.
std::string FormatElapsed(long long seconds);

// Seconds from `from` to `to`; negative when `to` is earlier.
long long SecondsBetween(const DateTime& from, const DateTime& to);

// The date and time `seconds` later (earlier when negative), normalised into a
// real calendar date and saturated at 0001-01-01 00:00:00 / 9999-12-31 23:59:59.
DateTime AddSeconds(const DateTime& value, long long seconds);

}  // namespace kv
