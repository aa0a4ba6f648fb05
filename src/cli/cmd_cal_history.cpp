// kvmaint cal-history: the instrument's latest calibration of every channel
// and when the next falls due, as a table by gas name, or as JSON.
#include <cstdio>

#include "cli/channel_names.h"
#include "cli/cli_io.h"
#include "cli/cmd_fleet_sources.h"
#include "cli/history_recording.h"
#include "cli/instrument_command.h"
#include "cli/json_text.h"
#include "common/datetime.h"
#include "files/kvd_reader.h"
#include "fleet/calibration_merge.h"
#include "history/history_store.h"
#include "report/report_content.h"
#include "link/transactions.h"
#include "ops/service_operations.h"
#include "protocol/format_gas_value.h"
#include "rules/edit_check.h"
#include "rules/setting_names.h"
#include "rules/settings_view.h"

namespace kv::cli {
namespace {

const QString kJson = QStringLiteral("json");

struct ChannelCalibration {
  int number;  // from 1
  std::string gas;
  std::optional<std::string> date;
  float before, after;
  // As the grids show levels: the channel's decimal places and unit, or a code ("-----").
  std::string beforeText, afterText;
  std::string unit;
  bool fitted;
  std::optional<std::string> nextDue;  // "yyyy/MM/dd"; nullopt: no interval known, or no sensor
  std::string dueState;                // fleet::StateWord: "ok", "due", "overdue", "never", ...
};

// The instrument's "Calibration Time Limit" as its latest read in the
// history holds it (this command does not read the setting); nullopt when
// the history has none.
std::optional<int> LimitInHistory(const LinkOptions& options, const std::optional<std::string>& historyOption,
                                  const std::string& serial) {
  std::string error;
  const std::unique_ptr<history::Store> store = ChooseRecordingStore(options, historyOption, &error);
  if (!store || serial.empty()) return std::nullopt;
  const std::optional<history::Event> read = store->LatestSnapshot(serial, history::kOpRead, &error);
  if (!read) return std::nullopt;
  clsInstrument record;
  ReadMaintenanceText(record, read->snapshot);
  return record.CalLimit();
}

void JudgeDue(ChannelCalibration& c, std::optional<int> limit, const fleet::CalibrationDefaults& defaults,
              const DateTime& now) {
  fleet::ChannelCalibration known{c.number - 1, c.gas, c.fitted, std::nullopt, {}, {}};
  if (c.date) known.calibrated = fleet::ParseDateTime(*c.date);
  const fleet::ChannelDue due =
      fleet::JudgeChannel(known, fleet::IntervalDays(limit, rules::Trim(c.gas), defaults), now, report::kDueSoonDays);
  c.dueState = fleet::StateWord(due.state);
  if (due.due) c.nextDue = FormatGeneralDate(*due.due).substr(0, 10);
}

// The table's due column: the date, "OVERDUE" once passed, "now" for a channel never calibrated.
std::string DueText(const ChannelCalibration& c) {
  if (c.dueState == "never") return "now (never calibrated)";
  if (!c.nextDue) return "-";
  return *c.nextDue + (c.dueState == "overdue" ? " OVERDUE" : "");
}

std::string LevelText(float value, int places, const std::string& unit) {
  return ShownText(ViewCell{{}, {}, {}, FormatGasValue(value, places), unit});
}

ChannelCalibration CalibrationOf(const clsInstrument& record, int channel) {
  const int places = record.GasPoint(channel);
  const std::string unit(rules::Trim(record.GasUnit(channel)));
  ChannelCalibration calibration{channel + 1,
                                 ChannelName(record, channel),
                                 std::nullopt,
                                 record.CalibBefore(channel),
                                 record.CalibAfter(channel),
                                 LevelText(record.CalibBefore(channel), places, unit),
                                 LevelText(record.CalibAfter(channel), places, unit),
                                 unit,
                                 record.GasType(channel) != kGasTypeNone,
                                 std::nullopt,
                                 {}};
  const std::string date = rules::CalibrationDateText(record.CalibDate(channel));
  if (date != "never") calibration.date = date;
  return calibration;
}

std::string TableText(const std::vector<ChannelCalibration>& channels) {
  char line[160];
  std::snprintf(line, sizeof line, "%-3s %-5s %-19s  %12s  %12s  %s\n", "Ch", "Gas", "Calibrated",
                "Before", "After", "Next Due");
  std::string out = line;
  for (const ChannelCalibration& c : channels) {
    std::snprintf(line, sizeof line, "%-3d %-5s %-19s  %12s  %12s  %s\n", c.number, c.gas.c_str(),
                  c.date.value_or("never").c_str(), c.beforeText.c_str(), c.afterText.c_str(),
                  DueText(c).c_str());
    out += line;
  }
  return out;
}

std::string JsonText(const std::vector<ChannelCalibration>& channels) {
  std::string out = "{\"channels\": [\n";
  for (std::size_t i = 0; i < channels.size(); ++i) {
    const ChannelCalibration& c = channels[i];
    out += std::string(i == 0 ? "" : ",\n") + "  {\"channel\": " + std::to_string(c.number) +
           ", \"gas\": " + JsonString(c.gas) +
           ", \"date\": " + (c.date ? JsonString(*c.date) : "null") +
           ", \"before\": " + JsonValue(c.before) + ", \"after\": " + JsonValue(c.after) +
           ", \"unit\": " + JsonString(c.unit) + ", \"before_text\": " + JsonString(c.beforeText) +
           ", \"after_text\": " + JsonString(c.afterText) +
           ", \"fitted\": " + (c.fitted ? "true" : "false") +
           ", \"next_due\": " + (c.nextDue ? JsonString(*c.nextDue) : "null") +
           ", \"due_state\": " + JsonString(c.dueState) + "}";
  }
  return out + "\n]}\n";
}

class CalHistoryCommand final : public InstrumentCommand {
 protected:
  void DeclareOwn(QCommandLineParser& parser) override {
    parser.addOption({kJson, QStringLiteral("Print JSON for scripts.")});
  }

  std::optional<int> Prepare(const QCommandLineParser& parser) override {
    json_ = parser.isSet(kJson);
    defaults_ = CalibrationDefaultsOf(parser);
    return std::nullopt;
  }

  std::string_view HistoryOperation() const override { return history::kOpCalHistory; }
  bool RecordsThroughOperations() const override { return true; }

  // The channels and the serial number come first (ops::ReadCalibrationHistory).
  int Talk(InstrumentSession& session) override {
    const clsInstrument& record = record_;
    const Outcome outcome = session.Run(ops::RunCalibrationHistory(session.Link(), Sink(), record_, outcome_),
                                        "Reading the calibration history");
    ReportRecording(outcome_);
    std::vector<ChannelCalibration> channels;
    const std::optional<int> limit =
        LimitInHistory(Options(), HistoryOption(), std::string(rules::Trim(record.SerialNo())));
    for (int channel = 0; channel < kSensorChannels; ++channel) {
      channels.push_back(CalibrationOf(record, channel));
      JudgeDue(channels.back(), limit, defaults_, session.Link().GetClock().Now());
    }
    return Ended(session, outcome, json_ ? JsonText(channels) : TableText(channels));
  }

 private:
  clsInstrument record_;  // the channel descriptions, the serial number and the history read
  bool json_ = false;
  fleet::CalibrationDefaults defaults_;  // [Fleet] of KVMaintenance.ini
  ops::OperationOutcome outcome_;
};

}  // namespace

KV_DEFINE_COMMAND(CalHistoryCommand, .name = "cal-history", .arguments = "[--json]",
                    .summary = "Print the latest calibration of every channel.",
                    .details = "One row per channel: number, gas name, when it was calibrated\n"
                               "(\"never\" when the instrument has no date), the reading before and\n"
                               "after, with the channel's unit (\"-----\" and the like: no reading),\n"
                               "and the next due date (\"OVERDUE\" once passed): the date plus the\n"
                               "instrument's Calibration Time Limit as its latest read in the\n"
                               "history holds it, else [Fleet] CalibrationDays of KVMaintenance.ini.\n"
                               "--json prints {\"channels\": [...]}, each with channel, gas, date\n"
                               "(null for none), before, after, unit, before_text and after_text\n"
                               "as the table shows them, fitted (false: no sensor in the slot),\n"
                               "next_due (null: no interval) and due_state (ok, due, overdue, never).",
                    .group = CommandGroup::Instrument, .positionalArguments = 0)

}  // namespace kv::cli
