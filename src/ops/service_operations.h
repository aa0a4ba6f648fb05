#pragma once
// The service operations, each written once for the window's Service menu
// and kvmaint: calibrations, the calibration history, the pump, the data
// logger, factory and default settings, initialisation. Each fills one
// OperationOutcome and is recorded through the HistorySink at its end, with
// the detail both front ends leave in the history.
//
// Same rules as ops/operations.h: arguments are held by reference until the
// operation ends; the Task forms are awaited, the Run* forms started.
#include <array>
#include <string>
#include <vector>

#include "link/link.h"
#include "link/task.h"
#include "model/instrument.h"
#include "ops/history_sink.h"
#include "ops/outcome.h"

namespace kv::ops {

// The gas name of channel 0..6 as the grids show it, "ch3" for one without.
std::string ChannelLabel(const clsInstrument& record, int channel);

// ---- calibrations ---------------------------------------------------------------
enum class CalibrationKind { Zero, Span };

struct CalibrationRequest {
  CalibrationKind kind = CalibrationKind::Zero;
  std::string spanData;  // sent after "S2,W," (span only)
};

// What a calibration read and got. The channels and the serial number are
// read first: the results are named by gas and belong to one instrument.
struct CalibrationResults {
  clsInstrument channels;
  // The status digit of each channel, -1 where the instrument reported none.
  std::array<int, kSensorChannels> status{-1, -1, -1, -1, -1, -1, -1};
  // "1  CH4  0": one line per channel, as recorded and as kvmaint prints them.
  std::vector<std::string> lines;
};

Task<bool> Calibrate(uclTzif& link, HistorySink& history, const CalibrationRequest& request,
                     CalibrationResults& results, OperationOutcome& outcome);
Transaction RunCalibration(uclTzif& link, HistorySink& history, const CalibrationRequest& request,
                           CalibrationResults& results, OperationOutcome& outcome);

// ---- the calibration history ------------------------------------------------------
// Reads the channels, the serial number and the latest calibration of every
// channel into `record`; the event's detail is CalibrationHistoryDetail.
Task<bool> ReadCalibrationHistory(uclTzif& link, HistorySink& history, clsInstrument& record,
                                  OperationOutcome& outcome);
Transaction RunCalibrationHistory(uclTzif& link, HistorySink& history, clsInstrument& record,
                                  OperationOutcome& outcome);

// The JSON a calibration-history event keeps: {"channels": [{"channel": 1,
// "gas": "CH4", "date": "2026/03/01 10:00:00" or null, "before", "after",
// "unit", "before_text", "after_text", "fitted"}, ...]}.
std::string CalibrationHistoryDetail(const clsInstrument& record);

// ---- single commands and long operations ------------------------------------------
// Each is one exchange (and its completion poll); the event's detail is
// "on"/"off" for the pump, "kind 10" for the defaults.
Transaction RunPump(uclTzif& link, HistorySink& history, bool on, OperationOutcome& outcome);
Transaction RunClearDataLogger(uclTzif& link, HistorySink& history, OperationOutcome& outcome);
Transaction RunRestoreFactory(uclTzif& link, HistorySink& history, OperationOutcome& outcome);
// `kind` as the instrument takes it (kvmaint up to 0x7FFF, the window up to 255).
Transaction RunLoadDefaults(uclTzif& link, HistorySink& history, int kind, OperationOutcome& outcome);

// ---- initialisation ---------------------------------------------------------------
struct InitialiseRequest {
  clsInstrument record;  // every setting of it is written
  bool saveAsDefault = false;
  std::string file;  // the file it came from, recorded with the event ("" for none)
  // The instrument it is written to, when the caller read it (its serial
  // number names the event); otherwise the session's last read names it.
  const clsInstrument* instrument = nullptr;
};

// Writes every setting, sets the clock and erases the data logger, stopping
// at the first step that fails. The event's snapshot is the record written.
Task<bool> Initialise(uclTzif& link, HistorySink& history, InitialiseRequest& request,
                      OperationOutcome& outcome);
Transaction RunInitialise(uclTzif& link, HistorySink& history, InitialiseRequest& request,
                          OperationOutcome& outcome);

}  // namespace kv::ops
