#pragma once
// When a calibration falls due: each channel's latest successful calibration
// plus an interval in days, the instrument's own "Calibration Time Limit"
// or, where the instrument leaves it at 0 or it is not known, the default of
// KVMaintenance.ini ([Fleet] CalibrationDays=, per gas CalibrationDays.CO=).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/datetime.h"
#include "files/ini_file.h"
#include "model/instrument.h"

namespace kv::fleet {

// One sensor channel's latest calibration as known.
struct ChannelCalibration {
  int channel = 0;  // from 0
  std::string gas;  // trimmed gas name
  bool fitted = true;  // false: no sensor in this slot, so nothing falls due
  std::optional<DateTime> calibrated;  // nullopt: never calibrated
  std::string before, after;           // readings as the grids show them; "" when not known
};

// Every sensor slot of the record with its gas and the calibration the
// record holds (none before the instrument's calibration history is read).
std::vector<ChannelCalibration> CalibrationsOf(const clsInstrument& record);
// Whether the instrument's calibration history was read into the record:
// some channel holds a calibration date (a fresh record and a maintenance
// data file hold the instrument's code for none, -101, in every channel).
bool HoldsCalibrationHistory(const clsInstrument& record);

// Keeps in `into` the calibration history `read` holds (dates, before and
// after of each channel), as the instrument reported it.
void CopyCalibrationHistory(clsInstrument& into, const clsInstrument& read);

// The intervals of KVMaintenance.ini's [Fleet] section.
class CalibrationDefaults {
 public:
  CalibrationDefaults() = default;
  explicit CalibrationDefaults(IniFile file) : file_(std::move(file)) {}
  // The file in `folder`; none when it cannot be read.
  static CalibrationDefaults Load(std::string_view folder);
  // CalibrationDays.<gas>, else CalibrationDays; 0 when neither is a positive number.
  int DaysFor(std::string_view gas) const;

 private:
  std::optional<IniFile> file_;
};

// The interval of one channel: the instrument's limit when it is positive,
// else the configuration's; 0 when neither gives one. `instrumentLimit` is
// nullopt when the instrument's setting is not known.
int IntervalDays(std::optional<int> instrumentLimit, std::string_view gas,
                 const CalibrationDefaults& defaults);

enum class DueState { Ok, DueSoon, Overdue, Never, NoInterval, NotFitted };

struct ChannelDue {
  ChannelCalibration calibration;
  int intervalDays = 0;  // 0: none known
  std::optional<DateTime> due;
  DueState state = DueState::Ok;
  long long daysLeft = 0;  // whole days from now to the due date; negative once overdue
};

ChannelDue JudgeChannel(const ChannelCalibration& calibration, int intervalDays,
                        const DateTime& now, int withinDays);

// An instrument is as late as its latest channel: never calibrated and
// overdue first (the earliest due date deciding), then due soon.
struct InstrumentDue {
  DueState state = DueState::NoInterval;
  std::optional<ChannelDue> deciding;  // none when no channel is fitted
  std::vector<ChannelDue> channels;
};

InstrumentDue JudgeInstrument(const std::vector<ChannelCalibration>& calibrations,
                              std::optional<int> instrumentLimit, const CalibrationDefaults& defaults,
                              const DateTime& now, int withinDays);

// "ok", "due within 12 days", "overdue", "never calibrated", "no interval", "not fitted".
std::string StateText(const ChannelDue& due);
// The short word of a state for tables and JSON: "ok", "due", "overdue", "never", "no-interval", "not-fitted".
std::string_view StateWord(DueState state);

}  // namespace kv::fleet
