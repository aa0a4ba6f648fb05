#pragma once
// The rules of the alarm-level tab: per channel the warning (1st), alarm
// (2nd), STEL and TWA levels and the span (automatic calibration) value.
#include <span>
#include <string_view>

#include "model/instrument.h"
#include "rules/edit_check.h"

namespace kv::rules {

enum class AlarmLevel { Warning, Alarm, Stel, Twa, Span };

// The oxygen channel's alarm pattern ("OXY Alarm Pattern", AlarmO2): which
// of its two levels sound above fresh air and which below.
enum class OxygenPattern { HighLow = 0, LowLowLow = 1, HighHighHigh = 2 };
inline constexpr int kOxygenChannel = 1;
inline constexpr double kFreshAirOxygen = 20.9;  // vol%

// What the rules look at for one channel. The levels are the ones the
// window shows (grid texts already accepted) or the record's.
struct ChannelLevels {
  int channel = 0;        // 0..6, or 7 and 8 for the catalytic ppm and vol% ratios
  double fullScale = 0;   // not positive: the channel has no full scale
  int point = 0;          // decimal places (GasPoint)
  double warning = -101;  // current 1st and 2nd levels, special codes allowed
  double alarm = -101;
  int oxygenPattern = 0;  // AlarmO2
};
ChannelLevels ChannelLevelsOf(const clsInstrument& record, int channel);

// The setting an edit changes: Warning, Alarm, Stel, Twa or AutoCalib of the
// channel; for the ratio channels 7 and 8 the catalytic ratio levels
// (CATppm1st, CATppm2nd, CATvol1st, CATvol2nd). Empty where nothing is edited.
SettingRef AlarmLevelSetting(int channel, AlarmLevel level);

// The codes a level may hold instead of a number, as FormatGasValue shows
// them ("*****" not used, "?????" not adjustable, "-----" no data), and their
// values. Status words of readings ("NORMAL", "ALARM") are not among them.
ChoiceItems SpecialLevelChoices();
std::span<const float> SpecialLevelCodes();

// A special code (its word or its number), or a number from 0 to the full
// scale in steps of the channel's resolution. Rising alarms keep the warning
// not above the alarm; the oxygen channel follows its pattern: a high level
// above fresh air, a low level below it, the second level beyond the first.
// Accepted: the text as the window shows it and the value to store.
EditCheck CheckAlarmLevel(const ChannelLevels& channel, AlarmLevel level, std::string_view text);
EditCheck CheckAlarmLevel(const clsInstrument& record, int channel, AlarmLevel level,
                          std::string_view text);

// Stores an accepted value into exactly the setting AlarmLevelSetting names,
// raising that setting's change flag. The ratio channels need
// SetRatioChannels afterwards to show it. False where nothing is edited.
bool ApplyAlarmLevel(clsInstrument& record, int channel, AlarmLevel level, double value);

}  // namespace kv::rules
