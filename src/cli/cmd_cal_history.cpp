// kvmaint cal-history: the instrument's latest calibration of every channel,
// as a table by gas name, or as JSON.
#include <cstdio>

#include "cli/channel_names.h"
#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "cli/json_text.h"
#include "common/datetime.h"
#include "history/history_store.h"
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
};

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
                                 record.GasType(channel) != kGasTypeNone};
  const std::string date = rules::CalibrationDateText(record.CalibDate(channel));
  if (date != "never") calibration.date = date;
  return calibration;
}

std::string TableText(const std::vector<ChannelCalibration>& channels) {
  char line[160];
  std::snprintf(line, sizeof line, "%-3s %-5s %-19s  %12s  %12s\n", "Ch", "Gas", "Calibrated",
                "Before", "After");
  std::string out = line;
  for (const ChannelCalibration& c : channels) {
    std::snprintf(line, sizeof line, "%-3d %-5s %-19s  %12s  %12s\n", c.number, c.gas.c_str(),
                  c.date.value_or("never").c_str(), c.beforeText.c_str(), c.afterText.c_str());
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
           ", \"fitted\": " + (c.fitted ? "true" : "false") + "}";
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
    for (int channel = 0; channel < kSensorChannels; ++channel) {
      channels.push_back(CalibrationOf(record, channel));
    }
    return Ended(session, outcome, json_ ? JsonText(channels) : TableText(channels));
  }

 private:
  clsInstrument record_;  // the channel descriptions, the serial number and the history read
  bool json_ = false;
  ops::OperationOutcome outcome_;
};

}  // namespace

KV_DEFINE_COMMAND(CalHistoryCommand, .name = "cal-history", .arguments = "[--json]",
                    .summary = "Print the latest calibration of every channel.",
                    .details = "One row per channel: number, gas name, when it was calibrated\n"
                               "(\"never\" when the instrument has no date), the reading before and\n"
                               "after, with the channel's unit (\"-----\" and the like: no reading).\n"
                               "--json prints {\"channels\": [...]}, each with channel, gas, date\n"
                               "(null for none), before, after, unit, before_text and after_text\n"
                               "as the table shows them, and fitted (false: no sensor in the slot).",
                    .group = CommandGroup::Instrument, .positionalArguments = 0)

}  // namespace kv::cli
