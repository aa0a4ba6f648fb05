#include "rules/alarm_level_rules.h"

#include <array>
#include <cmath>
#include <initializer_list>

#include "protocol/format_gas_value.h"

namespace kv::rules {
namespace {

constexpr int kPpmRatioChannel = 7;
constexpr int kVolRatioChannel = 8;

// The codes the instrument keeps in a level instead of a number: not used,
// not adjustable, no data. A reading's status words ("NORMAL", "ALARM",
// "OVER") are never levels: the instrument would take them as 0.
constexpr std::array<float, 3> kSpecialCodes = {-121, -118, -101};

enum class Direction { Rising, Falling, Any };

bool IsRatioChannel(int channel) {
  return channel == kPpmRatioChannel || channel == kVolRatioChannel;
}

// Which way a level sounds; for the oxygen channel its pattern decides.
Direction DirectionOf(const ChannelLevels& channel, AlarmLevel level) {
  if (level != AlarmLevel::Warning && level != AlarmLevel::Alarm) return Direction::Any;
  if (channel.channel != kOxygenChannel) return Direction::Rising;
  switch (static_cast<OxygenPattern>(channel.oxygenPattern)) {
    case OxygenPattern::HighLow:
      return level == AlarmLevel::Warning ? Direction::Rising : Direction::Falling;
    case OxygenPattern::LowLowLow:
      return Direction::Falling;
    case OxygenPattern::HighHighHigh:
      return Direction::Rising;
  }
  return Direction::Any;
}

bool IsSpecial(double value) { return value < 0; }

// The second level lies beyond the first in the direction both sound.
std::string CheckOrder(const ChannelLevels& channel, AlarmLevel level, double value) {
  const Direction direction = DirectionOf(channel, level);
  const AlarmLevel other = level == AlarmLevel::Warning ? AlarmLevel::Alarm : AlarmLevel::Warning;
  if (direction == Direction::Any || direction != DirectionOf(channel, other)) return {};
  const double warning = level == AlarmLevel::Warning ? value : channel.warning;
  const double alarm = level == AlarmLevel::Alarm ? value : channel.alarm;
  if (IsSpecial(warning) || IsSpecial(alarm)) return {};
  const int places = channel.point;
  // Compared in steps of the resolution: a stored level is a float, a typed
  // one a decimal, and 61.3 must equal 61.3.
  const auto steps = [places](double level) { return std::llround(level * std::pow(10.0, places)); };
  if (direction == Direction::Rising && steps(warning) > steps(alarm)) {
    return level == AlarmLevel::Warning
               ? "accepts a warning not above the alarm " + NumberText(alarm, places)
               : "accepts an alarm not below the warning " + NumberText(warning, places);
  }
  if (direction == Direction::Falling && steps(warning) < steps(alarm)) {
    return level == AlarmLevel::Warning
               ? "accepts a warning not below the alarm " + NumberText(alarm, places)
               : "accepts an alarm not above the warning " + NumberText(warning, places);
  }
  return {};
}

// Oxygen levels sound on one side of fresh air.
std::string CheckFreshAir(const ChannelLevels& channel, AlarmLevel level, double value) {
  if (channel.channel != kOxygenChannel) return {};
  const Direction direction = DirectionOf(channel, level);
  const std::string air = NumberText(kFreshAirOxygen, 1);
  if (direction == Direction::Rising && value <= kFreshAirOxygen)
    return "accepts a high level above " + air;
  if (direction == Direction::Falling && value >= kFreshAirOxygen)
    return "accepts a low level below " + air;
  return {};
}

std::string JoinSpecialWords() {
  std::string words;
  for (const float code : kSpecialCodes) {
    if (!words.empty()) words += ", ";
    words += FormatGasValue(code, 0);
  }
  return words;
}

std::string RangeReason(const ChannelLevels& channel) {
  std::string reason = "accepts " + NumberText(0, channel.point) + " to " +
                       NumberText(channel.fullScale, channel.point);
  if (channel.point > 0)
    reason += " in steps of " + NumberText(std::pow(10.0, -channel.point), channel.point);
  return reason + " or " + JoinSpecialWords();
}

}  // namespace

ChannelLevels ChannelLevelsOf(const clsInstrument& record, int channel) {
  ChannelLevels levels;
  levels.channel = channel;
  levels.fullScale = record.GasFullScale(channel);
  levels.point = record.GasPoint(channel);
  levels.warning = record.Warning(channel);
  levels.alarm = record.Alarm(channel);
  levels.oxygenPattern = record.AlarmO2();
  return levels;
}

SettingRef AlarmLevelSetting(int channel, AlarmLevel level) {
  if (IsRatioChannel(channel)) {
    const bool ppm = channel == kPpmRatioChannel;
    if (level == AlarmLevel::Warning) return {ppm ? "CATppm1st" : "CATvol1st"};
    if (level == AlarmLevel::Alarm) return {ppm ? "CATppm2nd" : "CATvol2nd"};
    return {};
  }
  if (channel < 0 || channel >= kSensorChannels) return {};
  static constexpr std::array<std::string_view, 5> kNames = {"Warning", "Alarm", "Stel", "Twa",
                                                             "AutoCalib"};
  return {kNames[static_cast<std::size_t>(level)], channel};
}

ChoiceItems SpecialLevelChoices() {
  ChoiceItems words;
  for (const float code : kSpecialCodes) words.push_back(FormatGasValue(code, 0));
  return words;
}

std::span<const float> SpecialLevelCodes() { return kSpecialCodes; }

EditCheck CheckAlarmLevel(const ChannelLevels& channel, AlarmLevel level, std::string_view text) {
  const SettingRef setting = AlarmLevelSetting(channel.channel, level);
  if (setting.name.empty()) return EditCheck::Refuse(std::string(kLevelNotEditable));
  const int special = ChoiceIndex(text, SpecialLevelChoices());
  if (special >= 0) {
    const float code = kSpecialCodes[static_cast<std::size_t>(special)];
    return EditCheck::Accept(FormatGasValue(code, 0), code).Of(setting);
  }
  const std::optional<ParsedNumber> number = ParseNumber(text);
  for (const float code : kSpecialCodes) {
    if (number && number->value == code)
      return EditCheck::Accept(FormatGasValue(code, 0), code).Of(setting);
  }
  const int places = channel.point >= 0 && channel.point <= 3 ? channel.point : 0;
  ChannelLevels known = channel;
  known.point = places;
  if (!(channel.fullScale > 0)) {
    return EditCheck::Refuse("accepts only " + JoinSpecialWords() + ": the channel has no full scale")
        .Of(setting);
  }
  const EditCheck inRange = CheckNumber(text, 0, channel.fullScale, places);
  if (!inRange.accepted) return EditCheck::Refuse(RangeReason(known)).Of(setting);
  const double value = *inRange.number;
  for (const std::string& reason :
       {CheckFreshAir(known, level, value), CheckOrder(known, level, value)}) {
    if (!reason.empty()) return EditCheck::Refuse(reason).Of(setting);
  }
  return EditCheck::Accept(NumberText(value, places), value).Of(setting);
}

EditCheck CheckAlarmLevel(const clsInstrument& record, int channel, AlarmLevel level,
                          std::string_view text) {
  return CheckAlarmLevel(ChannelLevelsOf(record, channel), level, text);
}

bool ApplyAlarmLevel(clsInstrument& record, int channel, AlarmLevel level, double value) {
  const auto single = static_cast<Single>(value);
  if (IsRatioChannel(channel)) {
    const bool ppm = channel == kPpmRatioChannel;
    if (level == AlarmLevel::Warning) {
      ppm ? record.SetCATppm1st(static_cast<Long>(std::lround(value)))
          : record.SetCATvol1st(single);
      return true;
    }
    if (level == AlarmLevel::Alarm) {
      ppm ? record.SetCATppm2nd(static_cast<Long>(std::lround(value)))
          : record.SetCATvol2nd(single);
      return true;
    }
    return false;
  }
  if (channel < 0 || channel >= kSensorChannels) return false;
  switch (level) {
    case AlarmLevel::Warning:
      return record.SetWarning(channel, single);
    case AlarmLevel::Alarm:
      return record.SetAlarm(channel, single);
    case AlarmLevel::Stel:
      return record.SetStel(channel, single);
    case AlarmLevel::Twa:
      return record.SetTwa(channel, single);
    case AlarmLevel::Span:
      return record.SetAutoCalib(channel, single);
  }
  return false;
}

}  // namespace kv::rules
