#include "rules/table_rules.h"

#include <algorithm>
#include <cmath>

#include "protocol/codecs.h"

namespace kv::rules {
namespace {

constexpr int kConversionLevelOffset = 30;  // LA_ 30..34 belong to the user entries
constexpr double kHighestLevel = 50000;
constexpr double kCoarseRatio = 25000;
constexpr std::size_t kRatioLength = 6;
constexpr double kHighestRatio = 150000;
constexpr std::string_view kNoLevel = "*****";
constexpr double kLowestFactor = 0.01;
constexpr double kHighestFactor = 25;

bool IsNoEntry(std::string_view text) { return Trim(text).empty() || Trim(text) == kNoLevel; }

// Half-way values go to the even multiple.
double RoundToStep(double value, double step) { return std::nearbyint(value / step) * step; }

// Levels go in steps of 250 from a ratio of 25000, else of 100.
double LevelStep(const ConversionRowTexts& texts) {
  const std::optional<ParsedNumber> ratio = ParseNumber(texts[kConvRatio]);
  return ratio && ratio->value >= kCoarseRatio ? 250 : 100;
}

EditCheck CheckLevel(const ConversionRowTexts& texts, int column) {
  const double step = LevelStep(texts);
  const auto level = [&texts, step](int c) -> std::optional<double> {
    const std::optional<ParsedNumber> parsed = ParseNumber(texts[static_cast<std::size_t>(c)]);
    if (!parsed) return std::nullopt;
    return RoundToStep(parsed->value, step);
  };
  const std::optional<ParsedNumber> typed = ParseNumber(texts[static_cast<std::size_t>(column)]);
  if (!typed) return EditCheck::Accept(std::string(kNoLevel));
  const double value = RoundToStep(typed->value, step);
  const std::optional<ParsedNumber> ratio = ParseNumber(texts[kConvRatio]);
  const double highest = ratio ? std::min(ratio->value, kHighestLevel) : kHighestLevel;
  if (value < 0 || value > highest) {
    return EditCheck::Refuse("accepts 0 to " + NumberText(highest, 0));
  }
  const std::optional<double> warning = level(kConvWarn);
  const std::optional<double> alarm = level(kConvAlarm);
  if (warning && alarm && *warning > *alarm) {
    return EditCheck::Refuse("accepts a 1st level not above the 2nd");
  }
  EditCheck accepted = EditCheck::Accept(NumberText(value, 0), value);
  if (value != typed->value) {
    accepted.adjusted = NumberText(typed->value, typed->decimals) + " becomes " + accepted.text +
                        ": levels go in steps of " + NumberText(step, 0);
  }
  return accepted;
}

EditCheck CheckVolt(std::string_view text) {
  const std::string_view mode = Trim(text);
  const std::optional<ParsedNumber> number = ParseNumber(mode);
  if (EqualsIgnoringCase(mode, "ME") || (number && number->value == 1.3)) {
    return EditCheck::Accept("ME", 1);
  }
  if (EqualsIgnoringCase(mode, "NORMAL") || (number && number->value == 2.4)) {
    return EditCheck::Accept("Normal", 0);
  }
  return EditCheck::Refuse("one of: ME, Normal");
}

EditCheck CheckConversionCell(const ConversionRowTexts& texts, int column) {
  const std::string_view text = texts[static_cast<std::size_t>(column)];
  if (IsNoEntry(text)) {
    switch (column) {
      case kConvName:
        return EditCheck::Accept("---");
      case kConvLongName:
        return EditCheck::Accept(std::string(20, '-'));
      case kConvWarn:
      case kConvAlarm:
        return EditCheck::Accept(std::string(kNoLevel));
      default:
        return EditCheck::Refuse("needs a value");
    }
  }
  switch (column) {
    case kConvName:
      return CheckShortName(Trim(text));  // the name comes back without blanks
    case kConvLongName:
      return CheckLongName(text);
    case kConvFactor:
      return CheckWholeFactor(text, kLowestFactor, kHighestFactor);
    case kConvWarn:
    case kConvAlarm:
      return CheckLevel(texts, column);
    case kConvRatio: {
      // Above 50000 a value travels in steps of 100 (the codecs' compressed range).
      const std::string reason = "accepts 0 to 150000, above 50000 in steps of 100";
      if (Trim(text).size() > kRatioLength) return EditCheck::Refuse(reason);
      EditCheck ratio = CheckNumber(text, 0, kHighestRatio, 0);
      if (!ratio.accepted) return EditCheck::Refuse(reason);
      const double value = *ratio.number;
      if (value > kValueCompressedBase && std::fmod(value - kValueCompressedBase, 100) != 0) {
        return EditCheck::Refuse(reason + "; " + ratio.text + " would be stored as " +
                                 NumberText(kValueCompressedBase + std::round((value - kValueCompressedBase) / 100) * 100, 0));
      }
      return ratio;
    }
    default:
      return CheckVolt(text);
  }
}

}  // namespace

SettingRef UserConversionSetting(int row, int column) {
  static constexpr std::array<std::string_view, kUserConversionColumns> kSettings = {
      "", "LO_name", "LO_longname", "LO_fc", "LA_warn", "LA_alarm", "LA_ratio", "LA_volt"};
  if (row < 1 || row >= kUserConversionRows || column < kConvName || column > kConvVolt) return {};
  const int entry = row - 1;
  return {kSettings[static_cast<std::size_t>(column)],
          column <= kConvFactor ? entry : entry + kConversionLevelOffset};
}

EditCheck CheckUserConversionEdit(int row, int column, std::string_view text) {
  const SettingRef setting = UserConversionSetting(row, column);
  if (setting.name.empty()) return EditCheck::Refuse(std::string(kNotEditable));
  switch (column) {
    case kConvName:
      return CheckShortName(Trim(text)).Of(setting);
    case kConvLongName:
      return CheckLongName(text).Of(setting);
    case kConvFactor:
      return CheckWholeFactor(text, kLowestFactor, kHighestFactor).Of(setting);
    default:
      return EditCheck::Accept(std::string(text)).Of(setting);
  }
}

EditCheck CheckUserConversionCell(int row, const ConversionRowTexts& texts, int column) {
  const SettingRef setting = UserConversionSetting(row, column);
  if (setting.name.empty()) return EditCheck::Refuse(std::string(kNotEditable));
  return CheckConversionCell(texts, column).Of(setting);
}

namespace {

bool IsListEntry(NameList list, int entry) {
  return entry >= 0 && entry < (list == NameList::Station ? kStationEntries : kUserEntries);
}

}  // namespace

EditCheck CheckListName(NameList list, int entry, std::string_view text) {
  if (!IsListEntry(list, entry)) return EditCheck::Refuse(std::string(kNoSuchListEntry));
  return CheckName(text, 16, true, true).Of({list == NameList::Station ? "XS_" : "XZ_", entry});
}

EditCheck SelectListEntry(NameList list, int entry) {
  if (!IsListEntry(list, entry)) return EditCheck::Refuse(std::string(kNoSuchListEntry));
  const int number = entry + 1;
  return EditCheck::Accept(std::to_string(number), number)
      .Of({"XV_", list == NameList::Station ? 0 : 1});
}

}  // namespace kv::rules
