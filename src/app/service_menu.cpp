#include "app/service_menu.h"

#include <array>
#include <string_view>

#include "history/history_store.h"
#include "link/link.h"
#include "link/transactions.h"
#include "ops/operations.h"

namespace kv {
namespace {

constexpr std::array kEntries = {
    ServiceEntry{ServiceOperation::SetClock, "mnuServiceSetClock", "Set Clock to PC Time", "", false},
    ServiceEntry{ServiceOperation::ZeroCalibration, "mnuServiceZero", "Zero Calibration",
                 "Zero calibration replaces the zero point of every channel. Only run it in clean "
                 "air. Continue?",
                 true},
    ServiceEntry{ServiceOperation::SpanCalibration, "mnuServiceSpan", "Span Calibration",
                 "Span calibration replaces the sensitivity of every channel. Only run it with "
                 "the calibration gas applied. Continue?",
                 true},
    ServiceEntry{ServiceOperation::ClearDataLogger, "mnuServiceClearLog", "Clear Data Logger",
                 "Every reading and event stored in the instrument's data logger will be erased. "
                 "Continue?",
                 true},
    ServiceEntry{ServiceOperation::FactorySettings, "mnuServiceFactoryReset",
                 "Restore Factory Settings",
                 "Every setting of the instrument (gas names, alarm levels, stations, users, "
                 "tables) goes back to its factory value. Continue?",
                 true},
    ServiceEntry{ServiceOperation::LoadDefaults, "mnuServiceLoadDefaults", "Load Default Settings",
                 "The instrument's settings will be replaced by the default settings of the kind "
                 "you chose. Continue?",
                 true},
    ServiceEntry{ServiceOperation::PumpOn, "mnuServicePumpOn", "Pump ON", "", false},
    ServiceEntry{ServiceOperation::PumpOff, "mnuServicePumpOff", "Pump OFF", "", false},
    ServiceEntry{ServiceOperation::CalibrationHistory, "mnuServiceCalHistory",
                 "Latest Calibration History", "", false},
    ServiceEntry{ServiceOperation::Initialise, "mnuServiceInit", "Initialise Instrument",
                 "Every setting shown in this window will be written to the instrument, its clock "
                 "set to the PC's time and its data logger erased. Continue?",
                 true},
    ServiceEntry{ServiceOperation::DumpFlash, "mnuServiceDumpFlash", "Dump Flash Image...", "", true},
    ServiceEntry{ServiceOperation::DumpFram, "mnuServiceDumpFram", "Dump FRAM Image...", "", true},
    ServiceEntry{ServiceOperation::DumpListing, "mnuServiceDumpListing", "Dump Listing by Code...",
                 "", true},
    ServiceEntry{ServiceOperation::DumpModule, "mnuServiceDumpModule", "Dump Module Memory...", "",
                 true},
};

}  // namespace

const char* HistoryOperationOf(ServiceOperation operation) {
  switch (operation) {
    case ServiceOperation::SetClock: return history::kOpSetClock;
    case ServiceOperation::ZeroCalibration: return history::kOpZero;
    case ServiceOperation::SpanCalibration: return history::kOpSpan;
    case ServiceOperation::ClearDataLogger: return history::kOpClearLog;
    case ServiceOperation::FactorySettings: return history::kOpFactoryRestore;
    case ServiceOperation::LoadDefaults: return history::kOpLoadDefaults;
    case ServiceOperation::PumpOn:
    case ServiceOperation::PumpOff: return history::kOpPump;
    case ServiceOperation::CalibrationHistory: return history::kOpCalHistory;
    case ServiceOperation::Initialise: return history::kOpInitialise;
    case ServiceOperation::DumpFlash:
    case ServiceOperation::DumpFram:
    case ServiceOperation::DumpListing:
    case ServiceOperation::DumpModule: return history::kOpDump;
  }
  return history::kOpDump;
}

std::span<const ServiceEntry> ServiceEntries() { return kEntries; }

const ServiceEntry& ServiceEntryOf(ServiceOperation operation) {
  for (const ServiceEntry& entry : kEntries) {
    if (entry.operation == operation) return entry;
  }
  return kEntries.front();
}

bool RecordsThroughOperations(ServiceOperation operation) {
  switch (operation) {
    case ServiceOperation::DumpFlash:
    case ServiceOperation::DumpFram:
    case ServiceOperation::DumpListing:
    case ServiceOperation::DumpModule: return false;
    default: return true;
  }
}

Transaction ServiceTransaction(uclTzif& link, ops::HistorySink& history, ServiceRun& run,
                               const DumpOptions& dumpOptions) {
  ops::OperationOutcome& outcome = run.outcome;
  switch (run.entry.operation) {
    case ServiceOperation::SetClock: return ops::RunSetClock(link, history, outcome);
    case ServiceOperation::ZeroCalibration:
    case ServiceOperation::SpanCalibration:
      run.calibrationRequest.kind = run.entry.operation == ServiceOperation::SpanCalibration
                                        ? ops::CalibrationKind::Span
                                        : ops::CalibrationKind::Zero;
      return ops::RunCalibration(link, history, run.calibrationRequest, run.calibration, outcome);
    case ServiceOperation::ClearDataLogger: return ops::RunClearDataLogger(link, history, outcome);
    case ServiceOperation::FactorySettings: return ops::RunRestoreFactory(link, history, outcome);
    case ServiceOperation::LoadDefaults: return ops::RunLoadDefaults(link, history, run.defaultsKind, outcome);
    case ServiceOperation::PumpOn: return ops::RunPump(link, history, true, outcome);
    case ServiceOperation::PumpOff: return ops::RunPump(link, history, false, outcome);
    case ServiceOperation::CalibrationHistory:
      return ops::RunCalibrationHistory(link, history, run.calibrationHistory, outcome);
    case ServiceOperation::Initialise: return ops::RunInitialise(link, history, run.initialise, outcome);
    case ServiceOperation::DumpFlash:
      return GetBinDump(link, run.path, false, kFlashFreshImageBlocks, dumpOptions);
    case ServiceOperation::DumpFram: return GetBinDumpFRAM(link, run.path, dumpOptions);
    case ServiceOperation::DumpListing: return GetRomDump(link, run.path, run.listingCode, dumpOptions);
    case ServiceOperation::DumpModule:
      return GetOptBinDump(link, run.moduleIndex, run.moduleText, run.path, run.moduleSize, dumpOptions);
  }
  return GetRomDump(link, run.path, run.listingCode, dumpOptions);
}

}  // namespace kv
