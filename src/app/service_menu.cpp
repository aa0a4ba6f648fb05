#include "app/service_menu.h"

#include <array>
#include <string_view>

#include "history/history_store.h"
#include "link/link.h"
#include "link/transactions.h"

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

// The places come before the summary: its values are scaled by them.
bool NamesChannels(ServiceOperation operation) {
  return operation == ServiceOperation::ZeroCalibration ||
         operation == ServiceOperation::SpanCalibration ||
         operation == ServiceOperation::CalibrationHistory;
}

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

void AddServiceSteps(uclTzif& link, ServiceRun& run, DateTime now, bool saveAsDefault,
                     const DumpOptions& dumpOptions) {
  auto& steps = run.steps;
  if (NamesChannels(run.entry.operation)) {
    steps.push_back([&link, &run] { return ReadChannelDescriptions(link, run.record, ChannelReads::DescriptionsAndLevels); });
  }
  switch (run.entry.operation) {
    case ServiceOperation::SetClock:
      steps.push_back([&link, now]() -> Transaction { return SetDateTime(link, now); });
      break;
    case ServiceOperation::ZeroCalibration:
      steps.push_back([&link, &run] { return ZeroCal(link, run.results); });
      break;
    case ServiceOperation::SpanCalibration:
      steps.push_back([&link, &run] { return SpanCal(link, run.results, std::string()); });
      break;
    case ServiceOperation::ClearDataLogger:
      steps.push_back([&link]() -> Transaction { return BodyDataClear(link); });
      break;
    case ServiceOperation::FactorySettings:
      steps.push_back([&link] { return RestoreFactorySet(link); });
      break;
    case ServiceOperation::LoadDefaults:
      steps.push_back([&link, &run] { return DefaultInstrument(link, run.defaultsKind); });
      break;
    case ServiceOperation::PumpOn:
    case ServiceOperation::PumpOff: {
      const bool on = run.entry.operation == ServiceOperation::PumpOn;
      steps.push_back([&link, on] { return SetPump(link, on); });
      break;
    }
    case ServiceOperation::CalibrationHistory:
      steps.push_back([&link, &run] { return GetLatestHistory(link, run.record); });
      break;
    case ServiceOperation::Initialise:
      steps.push_back(
          [&link, &run, saveAsDefault] { return SetInitValue(link, run.record, saveAsDefault); });
      break;
    case ServiceOperation::DumpFlash:
      steps.push_back([&link, &run, dumpOptions] {
        return GetBinDump(link, run.path, false, kFlashFreshImageBlocks, dumpOptions);
      });
      break;
    case ServiceOperation::DumpFram:
      steps.push_back([&link, &run, dumpOptions] { return GetBinDumpFRAM(link, run.path, dumpOptions); });
      break;
    case ServiceOperation::DumpListing:
      steps.push_back([&link, &run, dumpOptions] {
        return GetRomDump(link, run.path, run.listingCode, dumpOptions);
      });
      break;
    case ServiceOperation::DumpModule:
      steps.push_back([&link, &run, dumpOptions] {
        return GetOptBinDump(link, run.moduleIndex, run.moduleText, run.path, run.moduleSize,
                             dumpOptions);
      });
      break;
  }
}

}  // namespace kv
