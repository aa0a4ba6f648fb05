#pragma once
// The simulated KORVIN instrument without its wire: the settings record and
// everything else the instrument keeps (its clock, the calibration and
// service operations in progress, the pump, the data logger and the live
// readings), and the answer to one request text.
#include <optional>
#include <string>
#include <string_view>

#include "common/clock.h"
#include "model/instrument.h"
#include "sim/sim_live.h"

namespace kv::sim {

// A long-running operation that answers "not finished yet" to a few
// completion polls before it reports its result.
class PendingOperation {
 public:
  enum class Poll { Idle, Busy, Finished };

  void Start(int busyPolls) {
    running_ = true;
    pollsLeft_ = busyPolls;
  }
  // One completion poll: Busy while polls remain, then Finished once (the
  // operation is no longer running afterwards), Idle when nothing runs.
  Poll Next();
  bool Running() const { return running_; }

 private:
  bool running_ = false;
  int pollsLeft_ = 0;
};

// What a service operation started by "XC,E," or "UP,W," will do when done.
enum class BusyJob { None, DataClear, FactoryRestore };

struct SimDeviceOptions {
  // Completion polls answered "not finished" before the result. Kept below
  // the program's retry budget (3), in case a "not finished" reply is taken
  // as a failed one and resent at once.
  int busyPolls = 2;
  // Writes of this two-letter code are acknowledged but one of the settings
  // they change is stored wrongly (--store-wrong); empty: none.
  std::string storeWrongCode;
  // Writes of `refuseWriteCode` ("GN") are refused with NAK by the
  // instrument whose serial number is `refuseWriteSerial` (--refuse-write).
  std::string refuseWriteSerial;
  std::string refuseWriteCode;
};

class SimDevice {
 public:
  SimDevice(const Clock& clock, clsInstrument settings, SimDeviceOptions options = {});

  // Answers one request. `commandText` is the text between the frame's block
  // and its ETX ("VP,R,", "AP,W,1,"); the result is the reply's text in the
  // same form, or empty when the instrument stays silent.
  std::string Answer(std::string_view commandText);

  const clsInstrument& Settings() const { return settings_; }
  clsInstrument& Settings() { return settings_; }
  // The settings the instrument came with; restoring factory or default
  // settings returns to them (keeping the identity).
  const clsInstrument& FactorySettings() const { return factory_; }

  DateTime InstrumentNow() const;
  // Sets the instrument's clock; false (clock unchanged) for an invalid date.
  bool SetInstrumentClock(const DateTime& value);

  bool PumpOn() const { return pumpOn_; }
  void SetPump(bool on) { pumpOn_ = on; }
  long DataLogRecords() const { return dataLogRecords_; }
  int PowerOffRequests() const { return powerOffRequests_; }
  void CountPowerOff() { ++powerOffRequests_; }

  LiveReadings& Live() { return live_; }
  const SimDeviceOptions& Options() const { return options_; }

  // Becomes another instrument: its settings, a fresh clock, pump, logger
  // and no operation in progress (the next instrument of a line).
  void Replace(clsInstrument settings);

  PendingOperation& ZeroCalibration() { return zero_; }
  PendingOperation& SpanCalibration() { return span_; }
  PendingOperation& DefaultsLoad() { return defaults_; }
  // The busy poll ("BP,R,") of the data-logger erase and the factory restore.
  PendingOperation& BusyOperation() { return busy_; }
  void StartBusyJob(BusyJob job);
  // Completes the busy job when its polls are spent; true while still busy.
  bool PollBusy();

  // Applied when the operations finish.
  void FinishZeroCalibration();
  void FinishSpanCalibration();
  void RestoreFactorySettings();

  // The result digits of the last finished calibrations: one per channel,
  // '0' calibrated, '2' no sensor fitted. Empty before the first.
  const std::string& ZeroResult() const { return zeroResult_; }
  const std::string& SpanResult() const { return spanResult_; }

  // Recomputes what the instrument derives from its settings: the ratio
  // channels, Ratio(0), the enable flags and the selected station and user.
  // Clears the record's change flags (the instrument keeps none).
  void SettleDerived();

 private:
  std::string ChannelResults() const;
  bool RefusesWrite(std::string_view code, char access) const;

  const Clock& clock_;
  clsInstrument settings_;
  clsInstrument factory_;
  SimDeviceOptions options_;
  long long clockOffsetSeconds_ = 0;
  bool pumpOn_ = true;
  static constexpr long kFullDataLog = 1440;  // records in the logger of a fresh instrument
  long dataLogRecords_ = kFullDataLog;
  int powerOffRequests_ = 0;
  LiveReadings live_;
  PendingOperation zero_, span_, defaults_, busy_;
  BusyJob busyJob_ = BusyJob::None;
  std::string zeroResult_, spanResult_;
};

// Recomputes the values a read derives from others (see SimDevice::SettleDerived).
void SettleDerivedSettings(clsInstrument& settings);

}  // namespace kv::sim
