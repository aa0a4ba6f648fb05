// kvmaint zero and span: calibration of every channel, the result as one line
// per channel with its gas name and the status digit the instrument reports.
#include <cstdio>

#include "cli/channel_names.h"
#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "cli/service_help.h"
#include "link/transactions.h"

namespace kv::cli {
namespace {

const QString kData = QStringLiteral("data");

// "1  CH4  0": channel number, gas name, status digit ("-": none reported).
std::string ResultLine(const clsInstrument& record, int channel, int status) {
  char line[64];
  std::snprintf(line, sizeof line, "%d  %-4s %s", channel + 1, ChannelName(record, channel).c_str(),
                status < 0 ? "-" : std::to_string(status).c_str());
  return line;
}

class CalibrationCommand : public InstrumentCommand {
 protected:
  virtual Transaction Start(uclTzif& link, ReplySink& results) = 0;
  virtual int StatusOf(const ReplySink& results, int channel) const = 0;
  virtual std::string_view Name() const = 0;
  virtual std::string Label() const = 0;

  int Talk(InstrumentSession& session) override {
    clsInstrument& record = record_;
    // A calibration belongs to one instrument (its history, certificate and
    // due date): the serial number is read with the channel descriptions.
    Outcome named = session.Run(ReadChannelDescriptions(session.Link(), record), "Reading the channels");
    if (named == Outcome::Done) {
      named = session.Run(ReadSerialNumber(session.Link(), record), "Reading the serial number");
    }
    if (named != Outcome::Done) return ReportFailure(session, named, Name());
    History().record = &record_;
    ReplySink results;
    const Outcome outcome = session.Run(Start(session.Link(), results), Label());
    if (outcome == Outcome::Interrupted) return ReportFailure(session, outcome, Name());
    for (int channel = 0; channel < kSensorChannels; ++channel) {
      const std::string line = ResultLine(record, channel, StatusOf(results, channel));
      PrintLine(line);
      History().detail += (channel == 0 ? "" : "; ") + line;
    }
    if (outcome != Outcome::Done) return ReportFailure(session, outcome, Name());
    return kExitOk;
  }

 private:
  clsInstrument record_;  // the channel descriptions and the serial number
};

class ZeroCommand final : public CalibrationCommand {
 protected:
  // A zero taken in contaminated air offsets every later reading.
  std::string_view Destroys() const override {
    return "starts a zero calibration: do it only in clean air, or every later reading is offset";
  }
  Transaction Start(uclTzif& link, ReplySink& results) override { return ZeroCal(link, results); }
  int StatusOf(const ReplySink& results, int channel) const override {
    return ZeroStatus(results, channel);
  }
  std::string_view Name() const override { return "zero"; }
  std::string_view HistoryOperation() const override { return history::kOpZero; }
  std::string Label() const override { return "Adjusting zero"; }
};

class SpanCommand final : public CalibrationCommand {
 protected:
  std::string_view Destroys() const override {
    return "starts a span calibration: do it only with the span gas applied, or every later "
           "reading is scaled wrongly";
  }
  void DeclareOwn(QCommandLineParser& parser) override {
    parser.addOption({kData, QStringLiteral("Text sent after \"S2,W,\" (default: none)."),
                      QStringLiteral("TEXT")});
  }
  std::optional<int> Prepare(const QCommandLineParser& parser) override {
    data_ = Bytes(parser.value(kData));
    return std::nullopt;
  }
  Transaction Start(uclTzif& link, ReplySink& results) override {
    return SpanCal(link, results, data_);
  }
  int StatusOf(const ReplySink& results, int channel) const override {
    return SpanStatus(results, channel);
  }
  std::string_view Name() const override { return "span"; }
  std::string_view HistoryOperation() const override { return history::kOpSpan; }
  std::string Label() const override { return "Adjusting span"; }

 private:
  std::string data_;
};

const char* const kResultHelp =
    "\nPrints one line per channel: its number, gas name and the status digit the\n"
    "instrument reports for it (\"-\" where it reports none). Exit status 0 when the\n"
    "calibration completed.";

}  // namespace

KV_DEFINE_COMMAND(ZeroCommand, .name = "zero", .arguments = "[--yes]",
                    .summary = "Zero calibration; prints each channel's gas name and status.",
                    .details = CompletionPollHelp() + kResultHelp + kConfirmHelp,
                    .group = CommandGroup::Instrument, .positionalArguments = 0)

KV_DEFINE_COMMAND(SpanCommand, .name = "span", .arguments = "[--data TEXT] [--yes]",
                    .summary = "Span calibration; prints each channel's gas name and status.",
                    .details = CompletionPollHelp() + kResultHelp + kConfirmHelp,
                    .group = CommandGroup::Instrument, .positionalArguments = 0)

}  // namespace kv::cli
