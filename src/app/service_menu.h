#pragma once
// The entries of the window's Service menu: what each is called, whether it
// destroys something on the instrument (and the question that says what),
// and whether it runs long enough to show the progress dialog. The window
// runs them in frm_main_service.cpp.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/channel_descriptions.h"
#include "link/task.h"
#include "link/transactions_dump.h"
#include "model/instrument.h"
#include "protocol/reply_sink.h"

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

// What one run of a service entry needs: the answers given before it started,
// the record it fills and the results it collects. Owned by the window until
// the run has ended.
// The operation's name in the instrument history.
const char* HistoryOperationOf(ServiceOperation operation);

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
  // Channel descriptions, the history record, or the settings an
  // initialisation writes.
  clsInstrument record;
  ReplySink results{&record};
  // The transactions of the run, started one after another.
  std::vector<std::function<Transaction()>> steps;
  std::size_t nextStep = 0;
};

// The transactions of the run's entry, in order: the channel summary first
// where results are shown by gas name. `now` sets the clock.
void AddServiceSteps(uclTzif& link, ServiceRun& run, DateTime now, bool saveAsDefault,
                     const DumpOptions& dumpOptions);

}  // namespace kv
