#include "rules/pid_rules.h"

#include <cmath>

#include "rules/pid_scales.h"

namespace kv::rules {
namespace {

constexpr std::string_view kNoLevel = "*****";
constexpr double kNoLevelCode = -121;
constexpr double kMostDigitSteps = 250;

const PidScale* ScaleOfRow(int range, const PidRowTexts& row) {
  const std::optional<ParsedNumber> fullScale = ParseNumber(row[kPidFullScale]);
  return fullScale ? FindPidScale(range, fullScale->value) : nullptr;
}

std::string FullScaleList(int range) {
  std::string list;
  for (const PidScale& scale : PidScales(range)) {
    if (!list.empty()) list += ", ";
    list += scale.fullScaleText;
  }
  return list;
}

EditCheck CheckFullScale(int range, std::string_view text) {
  const std::optional<ParsedNumber> value = ParseNumber(text);
  const PidScale* scale = value ? FindPidScale(range, value->value) : nullptr;
  if (scale == nullptr) return EditCheck::Refuse("one of: " + FullScaleList(range));
  return EditCheck::Accept(std::string(scale->fullScaleText), scale->fullScale);
}

EditCheck CheckPoint(const PidScale* scale, std::string_view text) {
  if (scale == nullptr) return EditCheck::Refuse("accepts the resolution of a valid FullScale");
  if (Trim(text) != scale->resolution) {
    return EditCheck::Refuse("accepts " + std::string(scale->resolution) + " for this FullScale");
  }
  return EditCheck::Accept(std::string(scale->resolution), PidPointOf(scale->resolution));
}

EditCheck CheckDigit(const PidScale* scale, int point, std::string_view text) {
  if (scale == nullptr || point < 0) {
    return EditCheck::Refuse("accepts a digit value once FullScale and Point are valid");
  }
  const double steps = std::pow(10.0, point);
  return CheckNumber(text, scale->digit, kMostDigitSteps / steps, point);
}

EditCheck CheckLevel(const PidScale* scale, const PidRowTexts& row, int column, int point,
                     std::string_view text) {
  const std::optional<ParsedNumber> value = ParseNumber(text);
  const int places = point < 0 ? 0 : point;
  // A level travels as four hexadecimal digits in steps of the Point: it
  // lies within the full scale, as the instrument measures it.
  if (scale != nullptr && (!value || value->value < 0 || value->value > scale->fullScale ||
                           value->decimals > places)) {
    return EditCheck::Refuse("accepts " + NumberText(0, places) + " to " + NumberText(scale->fullScale, places) +
                             (places > 0 ? " in steps of " + NumberText(std::pow(10.0, -places), places) : "") +
                             " or *****");
  }
  if (!value || value->value < 0) return EditCheck::Refuse("accepts a number not below 0 or *****");
  const auto other = [&row](int c) { return ParseNumber(row[static_cast<std::size_t>(c)]); };
  if (column == kPidWarn) {
    const std::optional<ParsedNumber> alarm = other(kPidAlarm);
    if (alarm && value->value > alarm->value) {
      return EditCheck::Refuse("accepts 0 to the 2nd level " + NumberText(alarm->value, places));
    }
  } else if (column == kPidAlarm) {
    const std::optional<ParsedNumber> warning = other(kPidWarn);
    if (warning && value->value < warning->value) {
      return EditCheck::Refuse("accepts the 1st level " + NumberText(warning->value, places) +
                               " or more");
    }
  }
  return EditCheck::Accept(NumberText(value->value, places), value->value);
}

EditCheck CheckFactor(const PidScale* scale, std::string_view text) {
  if (scale == nullptr) return EditCheck::Refuse("accepts a factor once FullScale is valid");
  return CheckWholeFactor(text, scale->lowestFactor, scale->highestFactor);
}

// A range the entry does not use: no full scale. Its cells are kept as they
// stand, so such a row exports and imports unchanged; the entry's names, which
// both ranges share, are still judged when it has them.
bool IsUnusedRow(const PidRowTexts& row) {
  const std::optional<ParsedNumber> fullScale = ParseNumber(row[kPidFullScale]);
  return Trim(row[kPidFullScale]).empty() || (fullScale && fullScale->value == 0);
}

// A cell of an unused range: what such a range holds as the instrument
// reports it (a resolution, "ppm", levels "*****" or 0, and 0), kept as it
// stands.
EditCheck KeepUnusedCell(int column, std::string_view text) {
  if (column == kPidFullScale && Trim(text).empty()) return EditCheck::Accept({});
  if (column == kPidPoint) {
    const int point = PidPointOf(Trim(text));
    if (point < 0) return EditCheck::Refuse("one of: 1/1, 1/10, 1/100, 1/1000");
    return EditCheck::Accept(std::string(text), point);
  }
  if (column == kPidUnit) return text == "ppm" ? EditCheck::Accept("ppm") : EditCheck::Refuse("one of: ppm");
  if (column >= kPidWarn && column < kPidFactor && Trim(text) == kNoLevel) {
    return EditCheck::Accept(std::string(kNoLevel), kNoLevelCode);
  }
  // Without a full scale no level, digit or factor means anything yet.
  const std::optional<ParsedNumber> number = ParseNumber(text);
  if (!number || number->value != 0) return EditCheck::Refuse("accepts 0 until the range has a FullScale");
  return EditCheck::Accept(std::string(text), 0.0);
}

EditCheck CheckCell(int range, const PidRowTexts& row, int column, std::string_view text) {
  const bool name = column == kPidName || column == kPidLongName;
  if (IsUnusedRow(row) && name && Trim(text).empty()) return EditCheck::Accept({});
  if (IsUnusedRow(row) && !name) return KeepUnusedCell(column, text);
  if (Trim(text).empty() || Trim(text) == kNoLevel) {
    // Only the levels may be left out; the factor is a number the instrument
    // computes with, never a level's "not used" code.
    if (column <= kPidDigit || column == kPidFactor) return EditCheck::Refuse("needs a value");
    return EditCheck::Accept(std::string(kNoLevel), kNoLevelCode);
  }
  const PidScale* scale = ScaleOfRow(range, row);
  const int point = PidPointOf(row[kPidPoint]);
  switch (column) {
    case kPidName:
      return CheckShortName(Trim(text));  // the entry's name comes back without blanks
    case kPidLongName:
      return CheckLongName(text);
    case kPidFullScale:
      return CheckFullScale(range, text);
    case kPidPoint:
      return CheckPoint(scale, text);
    case kPidUnit:
      return text == "ppm" ? EditCheck::Accept("ppm") : EditCheck::Refuse("one of: ppm");
    case kPidDigit:
      return CheckDigit(scale, point, text);
    case kPidFactor:
      return CheckFactor(scale, text);
    default:
      return CheckLevel(scale, row, column, point, text);
  }
}

}  // namespace

SettingRef PidSetting(int range, int entry, int column) {
  static constexpr std::array<std::string_view, kPidColumns> kSettings = {
      "",        "PIDName",  "PIDLongName", "PIDFullScale", "PIDPoint",   "PIDUnit",  "PIDDigit",
      "PIDWarn", "PIDAlarm", "PIDStel",     "PIDTwa",       "PIDAutoCal", "PIDFactor"};
  if (column < kPidName || column >= kPidColumns) return {};
  if (column <= kPidLongName) return {kSettings[static_cast<std::size_t>(column)], entry};
  return {kSettings[static_cast<std::size_t>(column)], entry, range};
}

EditCheck CheckPidCell(int range, int entry, const PidRowTexts& row, int column,
                       std::string_view text) {
  if (column < kPidName || column >= kPidColumns)
    return EditCheck::Refuse(std::string(kNotEditable));
  return CheckCell(range, row, column, text).Of(PidSetting(range, entry, column));
}

EditCheck CheckPidEdit(int range, int entry, const PidRowTexts& row, int column,
                       std::string_view text) {
  if (text.empty() && column >= kPidName && column < kPidColumns) {
    return EditCheck::Accept({}).Of(PidSetting(range, entry, column));
  }
  return CheckPidCell(range, entry, row, column, text);
}

std::array<EditCheck, kPidColumns> CheckPidRow(int range, int entry, const PidRowTexts& row) {
  std::array<EditCheck, kPidColumns> checks;
  checks[0] = EditCheck::Accept(row[0]);
  for (int column = kPidName; column < kPidColumns; ++column) {
    checks[static_cast<std::size_t>(column)] =
        CheckPidCell(range, entry, row, column, row[static_cast<std::size_t>(column)]);
  }
  return checks;
}

}  // namespace kv::rules
