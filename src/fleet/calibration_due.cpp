#include "fleet/calibration_due.h"

#include <algorithm>
#include <charconv>

#include "files/configuration.h"
#include "protocol/format_gas_value.h"
#include "rules/edit_check.h"

namespace kv::fleet {
namespace {

constexpr long long kSecondsPerDay = 24LL * 60 * 60;
// The instrument dates calibrations with a two-digit year; an earlier date
// is a channel never calibrated (the instrument's code -101 among them).
constexpr int kFirstCalibrationYear = 2000;
constexpr std::string_view kFleetSection = "Fleet";

std::optional<int> PositiveNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value <= 0) return std::nullopt;
  return value;
}

// Lower ranks are later: the instrument takes its lowest-ranked channel.
int Rank(DueState state) {
  switch (state) {
    case DueState::Never: return 0;
    case DueState::Overdue: return 1;
    case DueState::DueSoon: return 2;
    case DueState::Ok: return 3;
    case DueState::NoInterval: return 4;
    case DueState::NotFitted: return 5;
  }
  return 5;
}

bool Later(const ChannelDue& a, const ChannelDue& b) {
  if (Rank(a.state) != Rank(b.state)) return Rank(a.state) < Rank(b.state);
  return a.daysLeft < b.daysLeft;
}

}  // namespace

bool HoldsCalibrationHistory(const clsInstrument& record) {
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    if (FromSerialDate(record.CalibDate(channel)).year >= kFirstCalibrationYear) return true;
  }
  return false;
}

void CopyCalibrationHistory(clsInstrument& into, const clsInstrument& read) {
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    // Channel numbers below kSensorChannels are inside every channel table.
    [[maybe_unused]] bool stored = into.SetCalibDate(channel, read.CalibDate(channel));
    stored = into.SetCalibBefore(channel, read.CalibBefore(channel));
    stored = into.SetCalibAfter(channel, read.CalibAfter(channel));
  }
}

std::vector<ChannelCalibration> CalibrationsOf(const clsInstrument& record) {
  std::vector<ChannelCalibration> channels;
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    const Date date = record.CalibDate(channel);
    ChannelCalibration calibration;
    calibration.channel = channel;
    calibration.gas = std::string(rules::Trim(record.GasName(channel)));
    calibration.fitted = record.GasType(channel) != kGasTypeNone;
    const DateTime when = FromSerialDate(date);
    if (when.year >= kFirstCalibrationYear) {
      calibration.calibrated = when;
      calibration.before = FormatGasValue(record.CalibBefore(channel), record.GasPoint(channel));
      calibration.after = FormatGasValue(record.CalibAfter(channel), record.GasPoint(channel));
    }
    channels.push_back(std::move(calibration));
  }
  return channels;
}

CalibrationDefaults CalibrationDefaults::Load(std::string_view folder) {
  std::optional<IniFile> file = IniFile::Load(ConfigurationPath(folder));
  return file ? CalibrationDefaults(std::move(*file)) : CalibrationDefaults();
}

int CalibrationDefaults::DaysFor(std::string_view gas) const {
  if (!file_) return 0;
  const std::string perGas = "CalibrationDays." + std::string(gas);
  if (!gas.empty()) {
    if (const auto days = PositiveNumber(file_->Get(kFleetSection, perGas, ""))) return *days;
  }
  return PositiveNumber(file_->Get(kFleetSection, "CalibrationDays", "")).value_or(0);
}

int IntervalDays(std::optional<int> instrumentLimit, std::string_view gas,
                 const CalibrationDefaults& defaults) {
  if (instrumentLimit && *instrumentLimit > 0) return *instrumentLimit;
  return defaults.DaysFor(gas);
}

ChannelDue JudgeChannel(const ChannelCalibration& calibration, int intervalDays, const DateTime& now,
                        int withinDays) {
  ChannelDue due{calibration, intervalDays, std::nullopt, DueState::Ok, 0};
  if (!calibration.fitted) {
    due.state = DueState::NotFitted;
  } else if (!calibration.calibrated) {
    due.state = DueState::Never;
  } else if (intervalDays <= 0) {
    due.state = DueState::NoInterval;
  } else {
    due.due = AddSeconds(*calibration.calibrated, intervalDays * kSecondsPerDay);
    const long long seconds = SecondsBetween(now, *due.due);
    due.daysLeft = seconds >= 0 ? (seconds + kSecondsPerDay - 1) / kSecondsPerDay
                                : -((-seconds) / kSecondsPerDay);
    if (seconds < 0) {
      due.state = DueState::Overdue;
    } else if (due.daysLeft <= withinDays) {
      due.state = DueState::DueSoon;
    }
  }
  return due;
}

InstrumentDue JudgeInstrument(const std::vector<ChannelCalibration>& calibrations,
                              std::optional<int> instrumentLimit, const CalibrationDefaults& defaults,
                              const DateTime& now, int withinDays) {
  InstrumentDue result;
  for (const ChannelCalibration& calibration : calibrations) {
    result.channels.push_back(JudgeChannel(
        calibration, IntervalDays(instrumentLimit, calibration.gas, defaults), now, withinDays));
  }
  const auto latest = std::min_element(result.channels.begin(), result.channels.end(), Later);
  if (latest != result.channels.end() && latest->state != DueState::NotFitted) {
    result.deciding = *latest;
    result.state = latest->state;
  }
  return result;
}

std::string StateText(const ChannelDue& due) {
  switch (due.state) {
    case DueState::Ok: return "ok";
    case DueState::DueSoon:
      return "due within " + std::to_string(due.daysLeft) + (due.daysLeft == 1 ? " day" : " days");
    case DueState::Overdue: return "overdue";
    case DueState::Never: return "never calibrated";
    case DueState::NoInterval: return "no interval";
    case DueState::NotFitted: return "not fitted";
  }
  return {};
}

std::string_view StateWord(DueState state) {
  switch (state) {
    case DueState::Ok: return "ok";
    case DueState::DueSoon: return "due";
    case DueState::Overdue: return "overdue";
    case DueState::Never: return "never";
    case DueState::NoInterval: return "no-interval";
    case DueState::NotFitted: return "not-fitted";
  }
  return {};
}

}  // namespace kv::fleet
