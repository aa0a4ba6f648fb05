// kvmaint fleet due: whose calibration is due, and which channel decides it.
#include "cli/cli_io.h"
#include "cli/cmd_fleet.h"
#include "cli/cmd_fleet_sources.h"
#include "cli/command.h"
#include "cli/history_recording.h"
#include "common/clock.h"
#include "fleet/fleet_due.h"

namespace kv::cli {
namespace {

constexpr int kLongestWindowDays = 3650;

FleetCell Optional(std::string name, const std::optional<DateTime>& when) {
  return when ? FleetCell{std::move(name), FormatGeneralDate(*when)} : FleetCell{std::move(name), {}, true};
}

FleetRow DueRow(const fleet::FleetDue& judged) {
  const fleet::FleetInstrument& i = *judged.instrument;
  const bool neverRead = i.lastRead.empty() && !judged.due.deciding;
  FleetRow row{{"serial", i.serial},
               {"model", i.model},
               {"last_seen", i.lastSeen},
               i.lastRead.empty() ? FleetCell{"last_read", {}, true} : FleetCell{"last_read", i.lastRead}};
  if (!judged.due.deciding) {
    row.push_back({"state", neverRead ? "unknown" : std::string(fleet::StateWord(judged.due.state))});
    row.push_back({"state_text", neverRead ? "never read" : "no channel fitted"});
    for (const char* column : {"channel", "calibrated", "due"}) row.push_back({column, {}, true});
    return row;
  }
  const fleet::ChannelDue& deciding = *judged.due.deciding;
  row.push_back({"state", std::string(fleet::StateWord(deciding.state))});
  row.push_back({"state_text", fleet::StateText(deciding)});
  row.push_back({"channel", fleet::ChannelLabel(deciding.calibration)});
  row.push_back(Optional("calibrated", deciding.calibration.calibrated));
  row.push_back(Optional("due", deciding.due));
  return row;
}

}  // namespace

int RunFleetDue(const QCommandLineParser& parser, FleetFormat format) {
  bool ok = false;
  const int within = parser.value(kFleetWithin).toInt(&ok);
  if (!ok || within < 0 || within > kLongestWindowDays) {
    PrintError(QStringLiteral("--within takes 0 to %1 days").arg(kLongestWindowDays));
    return kExitUsage;
  }
  const std::unique_ptr<history::Store> store = OpenHistoryStore(parser);
  if (!store) return kExitFailure;
  const std::optional<FleetView> view = GatherFleet(*store);
  if (!view) return kExitFailure;
  const std::vector<fleet::FleetDue> judged =
      fleet::JudgeFleet(view->instruments, CalibrationDefaultsOf(parser), SystemClock().Now(), within);
  std::vector<FleetRow> rows;
  int overdue = 0, due = 0, fine = 0, unknown = 0;
  for (const fleet::FleetDue& instrument : judged) {
    rows.push_back(DueRow(instrument));
    const std::string& state = rows.back()[4].value;
    if (state == "overdue" || state == "never") {
      ++overdue;
    } else if (state == "due") {
      ++due;
    } else if (state == "ok") {
      ++fine;
    } else {
      ++unknown;
    }
  }
  const std::string line = std::to_string(overdue) + " overdue, " + std::to_string(due) + " due within " +
                           std::to_string(within) + " days, " + std::to_string(fine) + " ok, " +
                           std::to_string(unknown) + " not known";
  WriteStdout(FleetTable(rows,
                         {"serial", "model", "last_seen", "last_read", "state", "state_text", "channel",
                          "calibrated", "due"},
                         {{"overdue", overdue}, {"due", due}, {"ok", fine}, {"unknown", unknown}}, line, format));
  return kExitOk;
}

}  // namespace kv::cli
