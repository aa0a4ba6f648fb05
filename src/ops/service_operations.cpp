#include "ops/service_operations.h"

#include <cstdio>
#include <utility>

#include "files/kvd_writer.h"
#include "history/history_event.h"
#include "link/channel_descriptions.h"
#include "link/transactions.h"
#include "ops/operation_end.h"
#include "protocol/reply_sink.h"
#include "rules/setting_names.h"

namespace kv::ops {
namespace {

// "1  CH4  0": channel number, gas name, status digit ("-": none reported).
std::string ResultLine(const clsInstrument& record, int channel, int status) {
  char line[64];
  std::snprintf(line, sizeof line, "%d  %-4s %s", channel + 1, ChannelLabel(record, channel).c_str(),
                status < 0 ? "-" : std::to_string(status).c_str());
  return line;
}

void NameBy(const clsInstrument& record, OperationOutcome& outcome) {
  outcome.serial = history::SerialText(record.SerialNo());
  if (!outcome.serial.empty()) outcome.model = history::ModelText(record.SpecType());
}

// The channels (their results are named by gas) and the serial number (they
// belong to one instrument): one read the operation needs anyway.
Task<bool> ReadChannelsAndSerial(uclTzif& link, clsInstrument& record) {
  const bool described = co_await ReadChannels(link, record, ChannelReads::Descriptions);
  if (!described) co_return false;
  const bool named = co_await ReadSerial(link, record);
  co_return named;
}

// An operation that is one task of the link and reads nothing: begun with
// its detail, the task run, ended and recorded.
Transaction RunExchange(uclTzif& link, HistorySink& history, const char* operation, std::string detail,
                        Task<bool> exchange, OperationOutcome& outcome) {
  BeginOperation(outcome, operation);
  outcome.detail = std::move(detail);
  const bool done = co_await std::move(exchange);
  EndOperation(link, history, done, outcome, clsInstrument{});
  co_return done;
}

}  // namespace

std::string ChannelLabel(const clsInstrument& record, int channel) {
  const std::string name = rules::GridGasName(record, channel);
  return name.empty() ? "ch" + std::to_string(channel + 1) : name;
}

// ---- calibrations ---------------------------------------------------------------

Task<bool> Calibrate(uclTzif& link, HistorySink& history, const CalibrationRequest& request,
                     CalibrationResults& results, OperationOutcome& outcome) {
  const bool zero = request.kind == CalibrationKind::Zero;
  BeginOperation(outcome, zero ? history::kOpZero : history::kOpSpan);
  results.status.fill(-1);
  results.lines.clear();
  const bool named = co_await ReadChannelsAndSerial(link, results.channels);
  if (!named) {
    EndOperation(link, history, false, outcome, results.channels);
    co_return false;
  }
  NameBy(results.channels, outcome);
  ReplySink sink(&results.channels);
  bool calibrated = false;
  if (zero) {
    calibrated = co_await CalibrateZero(link, sink);
  } else {
    calibrated = co_await CalibrateSpan(link, sink, request.spanData);
  }
  // A calibration that stopped half-way still says what each channel got.
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    const int status = zero ? ZeroStatus(sink, channel) : SpanStatus(sink, channel);
    results.status[static_cast<std::size_t>(channel)] = status;
    results.lines.push_back(ResultLine(results.channels, channel, status));
    outcome.detail += (channel == 0 ? "" : "; ") + results.lines.back();
  }
  EndOperation(link, history, calibrated, outcome, results.channels);
  co_return calibrated;
}

Transaction RunCalibration(uclTzif& link, HistorySink& history, const CalibrationRequest& request,
                           CalibrationResults& results, OperationOutcome& outcome) {
  const bool ok = co_await Calibrate(link, history, request, results, outcome);
  co_return ok;
}

// ---- the calibration history ------------------------------------------------------

Task<bool> ReadCalibrationHistory(uclTzif& link, HistorySink& history, clsInstrument& record,
                                  OperationOutcome& outcome) {
  BeginOperation(outcome, history::kOpCalHistory);
  bool read = co_await ReadChannelsAndSerial(link, record);
  if (read) {
    NameBy(record, outcome);
    read = co_await ReadLatestCalibrations(link, record);
  }
  if (read) outcome.detail = CalibrationHistoryDetail(record);
  EndOperation(link, history, read, outcome, record);
  co_return read;
}

Transaction RunCalibrationHistory(uclTzif& link, HistorySink& history, clsInstrument& record,
                                  OperationOutcome& outcome) {
  const bool ok = co_await ReadCalibrationHistory(link, history, record, outcome);
  co_return ok;
}

// ---- single commands and long operations ------------------------------------------

Transaction RunPump(uclTzif& link, HistorySink& history, bool on, OperationOutcome& outcome) {
  return RunExchange(link, history, history::kOpPump, on ? "on" : "off", SwitchPump(link, on), outcome);
}

Transaction RunClearDataLogger(uclTzif& link, HistorySink& history, OperationOutcome& outcome) {
  return RunExchange(link, history, history::kOpClearLog, "", BodyDataClear(link), outcome);
}

Transaction RunRestoreFactory(uclTzif& link, HistorySink& history, OperationOutcome& outcome) {
  return RunExchange(link, history, history::kOpFactoryRestore, "", RestoreFactorySettings(link), outcome);
}

Transaction RunLoadDefaults(uclTzif& link, HistorySink& history, int kind, OperationOutcome& outcome) {
  return RunExchange(link, history, history::kOpLoadDefaults, "kind " + std::to_string(kind),
                     LoadDefaultSettings(link, kind), outcome);
}

// ---- initialisation ---------------------------------------------------------------

Task<bool> Initialise(uclTzif& link, HistorySink& history, InitialiseRequest& request,
                      OperationOutcome& outcome) {
  BeginOperation(outcome, history::kOpInitialise);
  outcome.file = request.file;
  outcome.snapshot = MaintenanceFileText(request.record);
  if (request.instrument != nullptr) NameBy(*request.instrument, outcome);
  const bool initialised = co_await InitialiseInstrument(link, request.record, request.saveAsDefault);
  EndOperation(link, history, initialised, outcome, request.record);
  co_return initialised;
}

Transaction RunInitialise(uclTzif& link, HistorySink& history, InitialiseRequest& request,
                          OperationOutcome& outcome) {
  const bool ok = co_await Initialise(link, history, request, outcome);
  co_return ok;
}

}  // namespace kv::ops
