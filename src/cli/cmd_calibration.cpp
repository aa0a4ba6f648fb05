// kvmaint zero and span: calibration of every channel, the result as one line
// per channel with its gas name and the status digit the instrument reports.
#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "cli/service_help.h"
#include "ops/service_operations.h"

namespace kv::cli {
namespace {

const QString kData = QStringLiteral("data");

class CalibrationCommand : public InstrumentCommand {
 protected:
  virtual std::string_view Name() const = 0;
  virtual std::string Label() const = 0;
  bool RecordsThroughOperations() const override { return true; }

  int Talk(InstrumentSession& session) override {
    ops::CalibrationResults results;
    const Outcome outcome =
        session.Run(ops::RunCalibration(session.Link(), Sink(), request_, results, outcome_), Label());
    ReportRecording(outcome_);
    for (const std::string& line : results.lines) PrintLine(line);
    if (outcome != Outcome::Done) return ReportFailure(session, outcome, Name());
    return kExitOk;
  }

  ops::CalibrationRequest request_;

 private:
  ops::OperationOutcome outcome_;
};

class ZeroCommand final : public CalibrationCommand {
 protected:
  // A zero taken in contaminated air offsets every later reading.
  std::string_view Destroys() const override {
    return "starts a zero calibration: do it only in clean air, or every later reading is offset";
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
    request_.kind = ops::CalibrationKind::Span;
    request_.spanData = Bytes(parser.value(kData));
    return std::nullopt;
  }
  std::string_view Name() const override { return "span"; }
  std::string_view HistoryOperation() const override { return history::kOpSpan; }
  std::string Label() const override { return "Adjusting span"; }
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
