// kvmaint fleet audit: the latest read of every instrument against the
// company's settings.
#include "cli/cli_io.h"
#include "cli/cmd_fleet.h"
#include "cli/cmd_fleet_sources.h"
#include "cli/command.h"
#include "cli/history_recording.h"
#include "cli/json_text.h"
#include "cli/kvd_files.h"
#include "fleet/policy_audit.h"

namespace kv::cli {
namespace {

constexpr const char* kCompliant = "compliant";
constexpr const char* kDiffers = "differs";
constexpr const char* kNeverRead = "never-read";

FleetRow Identity(const fleet::FleetInstrument& i, const char* state, int count) {
  return {{"serial", i.serial},
          {"model", i.model},
          i.lastRead.empty() ? FleetCell{"last_read", {}, true} : FleetCell{"last_read", i.lastRead},
          {"state", state},
          {"differences", std::to_string(count), false, true}};
}

std::string DifferencesJson(const std::vector<fleet::PolicyDifference>& differences) {
  std::string out = "[";
  for (std::size_t i = 0; i < differences.size(); ++i) {
    const fleet::PolicyDifference& d = differences[i];
    out += (i == 0 ? "" : ", ") + std::string("{\"setting\": ") + JsonString(d.caption) +
           ", \"policy\": " + JsonString(d.policyValue) + ", \"instrument\": " + JsonString(d.instrumentValue) + "}";
  }
  return out + "]";
}

}  // namespace

int RunFleetAudit(const QCommandLineParser& parser, FleetFormat format) {
  clsInstrument policy;
  if (!LoadMaintenanceFile(policy, parser.value(kFleetPolicy))) return kExitUsage;
  const std::unique_ptr<history::Store> store = OpenHistoryStore(parser);
  if (!store) return kExitFailure;
  const std::optional<FleetView> view = GatherFleet(*store);
  if (!view) return kExitFailure;
  std::vector<FleetRow> rows;
  int compliant = 0, differ = 0, neverRead = 0;
  for (const fleet::FleetInstrument& instrument : view->instruments) {
    const auto read = view->latestReads.find(instrument.serial);
    if (read == view->latestReads.end()) {
      ++neverRead;
      rows.push_back(Identity(instrument, kNeverRead, 0));
      if (format == FleetFormat::Json) rows.back().push_back({"settings", "[]", false, true});
      continue;
    }
    const std::vector<fleet::PolicyDifference> differences = fleet::DifferencesFromPolicy(policy, read->second);
    const int count = static_cast<int>(differences.size());
    ++(differences.empty() ? compliant : differ);
    const char* state = differences.empty() ? kCompliant : kDiffers;
    if (format == FleetFormat::Json) {
      rows.push_back(Identity(instrument, state, count));
      rows.back().push_back({"settings", DifferencesJson(differences), false, true});
      continue;
    }
    // Text and CSV: one row per differing setting, one row for an instrument in line.
    if (differences.empty()) {
      rows.push_back(Identity(instrument, state, 0));
      for (const char* column : {"setting", "policy", "instrument"}) rows.back().push_back({column, {}, true});
    }
    for (const fleet::PolicyDifference& d : differences) {
      rows.push_back(Identity(instrument, state, count));
      rows.back().insert(rows.back().end(), {{"setting", d.caption}, {"policy", d.policyValue},
                                             {"instrument", d.instrumentValue}});
    }
  }
  const std::string line = std::to_string(compliant) + " compliant, " + std::to_string(differ) + " differ, " +
                           std::to_string(neverRead) + " never read";
  WriteStdout(FleetTable(rows,
                         {"serial", "model", "last_read", "state", "differences", "setting", "policy",
                          "instrument"},
                         {{"compliant", compliant}, {"differ", differ}, {"never_read", neverRead}}, line, format));
  return kExitOk;
}

}  // namespace kv::cli
