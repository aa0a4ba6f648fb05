#include "common/datetime.h"

#include <cmath>
#include <cstdio>

namespace kv {
namespace {

constexpr long long kSecondsPerDay = 86400;

// Days since 1970-01-01 in the proleptic Gregorian calendar. Works on any
// int fields (a month of 13 rolls into the next year arithmetically).
constexpr long long DaysFromCivil(long long year, long long month, long long day) {
  year -= month <= 2 ? 1 : 0;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yearOfEra = year - era * 400;
  const long long monthFromMarch = month > 2 ? month - 3 : month + 9;
  const long long dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
  const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
  int year;
  int month;
  int day;
};

constexpr CivilDate CivilFromDays(long long days) {
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long dayOfEra = days - era * 146097;
  const long long yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long monthFromMarch = (5 * dayOfYear + 2) / 153;
  const long long day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
  const long long month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
  const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  return {static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
}

constexpr long long kSerialOriginDays = DaysFromCivil(1899, 12, 30);

// Seconds since 1970-01-01 00:00:00; every field may be out of its range.
constexpr long long AbsoluteSeconds(const DateTime& value) {
  return DaysFromCivil(value.year, value.month, value.day) * kSecondsPerDay +
         static_cast<long long>(value.hour) * 3600 + static_cast<long long>(value.minute) * 60 +
         value.second;
}

constexpr long long kEarliestSeconds = AbsoluteSeconds({1, 1, 1, 0, 0, 0});
constexpr long long kLatestSeconds = AbsoluteSeconds({9999, 12, 31, 23, 59, 59});

// Floor division, so that times before 1970 fall on the right day.
constexpr long long FloorDiv(long long value, long long divisor) {
  const long long quotient = value / divisor;
  return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

// Only for seconds within kEarliestSeconds..kLatestSeconds.
DateTime FromAbsoluteSeconds(long long seconds) {
  const long long days = FloorDiv(seconds, kSecondsPerDay);
  const auto secondOfDay = static_cast<int>(seconds - days * kSecondsPerDay);
  const CivilDate date = CivilFromDays(days);
  return {date.year, date.month, date.day, secondOfDay / 3600, secondOfDay / 60 % 60,
          secondOfDay % 60};
}

constexpr bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

constexpr int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Serials of 0100-01-01 and of the day after 9999-12-31.
constexpr double kFirstSerialDay = -657434.0;
constexpr double kSerialDayAfterLast = 2958466.0;

}  // namespace

bool IsValidDateTime(const DateTime& value) {
  if (value.year < 100 || value.year > 9999 || value.month < 1 || value.month > 12) {
    return false;
  }
  return value.day >= 1 && value.day <= DaysInMonth(value.year, value.month) &&
         value.hour >= 0 && value.hour <= 23 && value.minute >= 0 && value.minute <= 59 &&
         value.second >= 0 && value.second <= 59;
}

double ToSerialDate(const DateTime& value) {
  const long long seconds = AbsoluteSeconds(value);
  const long long days = FloorDiv(seconds, kSecondsPerDay);
  const double dayFraction =
      static_cast<double>(seconds - days * kSecondsPerDay) / static_cast<double>(kSecondsPerDay);
  const auto serialDay = static_cast<double>(days - kSerialOriginDays);
  return serialDay >= 0 ? serialDay + dayFraction : serialDay - dayFraction;
}

DateTime FromSerialDate(double serial) {
  if (!std::isfinite(serial) || serial <= kFirstSerialDay - 1.0 || serial >= kSerialDayAfterLast) {
    return DateTime{};
  }
  const double wholeDays = std::trunc(serial);
  const double dayFraction = std::fabs(serial - wholeDays);
  const long long secondOfDay = std::llround(dayFraction * static_cast<double>(kSecondsPerDay));
  const long long days = static_cast<long long>(wholeDays) + kSerialOriginDays;
  long long seconds = days * kSecondsPerDay + secondOfDay;
  if (seconds > kLatestSeconds) {
    seconds = kLatestSeconds;  // 9999-12-31 23:59:59.6 must not round into the year 10000
  }
  return FromAbsoluteSeconds(seconds);
}

std::string FormatGeneralDate(const DateTime& value) {
  char text[96];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", value.year, value.month,
                value.day, value.hour, value.minute, value.second);
  return text;
}

std::string FormatTimeOfDay(const DateTime& value) {
  char text[48];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", value.hour, value.minute, value.second);
  return text;
}

std::string FormatElapsed(long long seconds) {
  // Magnitude in unsigned arithmetic: negating the most negative value is not representable.
  const unsigned long long magnitude = seconds < 0 ? 0ULL - static_cast<unsigned long long>(seconds)
                                                   : static_cast<unsigned long long>(seconds);
  char text[48];
  std::snprintf(text, sizeof text, "%02llu:%02llu:%02llu", magnitude / 3600, magnitude / 60 % 60,
                magnitude % 60);
  return text;
}

long long SecondsBetween(const DateTime& from, const DateTime& to) {
  return AbsoluteSeconds(to) - AbsoluteSeconds(from);
}

DateTime AddSeconds(const DateTime& value, long long seconds) {
  const long long base = AbsoluteSeconds(value);
  // Compared before adding so that a huge offset cannot overflow.
  if (seconds >= kLatestSeconds - base) {
    return FromAbsoluteSeconds(kLatestSeconds);
  }
  if (seconds <= kEarliestSeconds - base) {
    return FromAbsoluteSeconds(kEarliestSeconds);
  }
  return FromAbsoluteSeconds(base + seconds);
}

}  // namespace kv
