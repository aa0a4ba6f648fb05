#pragma once
// The entries of the window's Service menu: what each is called, whether it
// destroys something on the instrument (and the question that says what),
// and whether it runs long enough to show the progress dialog. The window
// runs them through its ServiceController.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/task.h"
#include "link/transactions_dump.h"
#include "model/instrument.h"
#include "ops/history_sink.h"
#include "ops/outcome.h"
#include "ops/service_operations.h"

namespace kv {

class uclTzif;

enum class ServiceOperation {
  SetClock,
  ZeroCalibration,
  SpanCalibration,
  ClearDataLogger,
  FactorySettings,
  LoadDefaults,
  PumpOn,
  PumpOff,
  CalibrationHistory,
  Initialise,
  DumpFlash,
  DumpFram,
  DumpListing,
  DumpModule,
};

struct ServiceEntry {
  ServiceOperation operation;
  const char* objectName;  // "mnuServiceSetClock"
  const char* caption;     // the menu text
  // Asked before anything is sent; empty: nothing is lost, nothing asked.
  const char* warning;
  // Shows the progress dialog with Cancel while it runs.
  bool longRunning;
};

std::span<const ServiceEntry> ServiceEntries();
const ServiceEntry& ServiceEntryOf(ServiceOperation operation);

// The operation's name in the instrument history.
const char* HistoryOperationOf(ServiceOperation operation);

// What one run of a service entry needs: the answers given before it started
// and what it got. Owned by the service controller until the run has ended.

struct ServiceRun {
  explicit ServiceRun(const ServiceEntry& chosen) : entry(chosen) {}
  const ServiceEntry& entry;
  int defaultsKind = 0;
  std::string path;         // the dump file
  std::string listingCode;  // "ES"
  int moduleIndex = 0;
  std::string moduleText;
  std::uint64_t moduleSize = 0;
  // What a dump got: the bytes that arrived, of how many; why its file
  // failed; the drain after a cancel.
  std::uint64_t dumpReceived = 0;
  std::uint64_t dumpExpected = 0;
  std::string dumpFileError;
  std::optional<DrainResult> drained;
  // The operations of src/ops: what they were asked, what they got.
  ops::CalibrationRequest calibrationRequest;
  ops::CalibrationResults calibration;
  clsInstrument calibrationHistory;
  ops::InitialiseRequest initialise;
  ops::OperationOutcome outcome;
};

// True for the entries run by an operation of src/ops, which records its
// own outcome in the history (the dumps are recorded by the window).
bool RecordsThroughOperations(ServiceOperation operation);

// The one transaction of the run's entry. The run and the history sink are
// held by reference until it ends.
Transaction ServiceTransaction(uclTzif& link, ops::HistorySink& history, ServiceRun& run,
                               const DumpOptions& dumpOptions);

}  // namespace kv
