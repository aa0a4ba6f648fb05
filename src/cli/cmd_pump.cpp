// kvmaint pump on|off: switches the instrument's pump.
#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "history/history_store.h"
#include "ops/service_operations.h"

namespace kv::cli {
namespace {

class PumpCommand final : public InstrumentCommand {
 protected:
  void DeclareOwn(QCommandLineParser& parser) override {
    parser.addPositionalArgument(QStringLiteral("on|off"), QStringLiteral("The pump's new state."));
  }

  std::optional<int> Prepare(const QCommandLineParser& parser) override {
    const QString state = parser.positionalArguments().constFirst().toLower();
    if (state != QStringLiteral("on") && state != QStringLiteral("off")) {
      return Usage(QStringLiteral("give on or off, not \"%1\"").arg(parser.positionalArguments().constFirst()));
    }
    on_ = state == QStringLiteral("on");
    return std::nullopt;
  }

  std::string_view HistoryOperation() const override { return history::kOpPump; }
  bool RecordsThroughOperations() const override { return true; }

  int Talk(InstrumentSession& session) override {
    const Outcome outcome = session.Run(ops::RunPump(session.Link(), Sink(), on_, outcome_), "Switching the pump");
    ReportRecording(outcome_);
    return Ended(session, outcome, on_ ? "pump on" : "pump off");
  }

 private:
  bool on_ = false;
  ops::OperationOutcome outcome_;
};

}  // namespace

KV_DEFINE_COMMAND(PumpCommand, .name = "pump", .arguments = "on|off",
                    .summary = "Switch the instrument's pump on or off.",
                    .details = "Prints \"pump on\" or \"pump off\" once the instrument took it.",
                    .group = CommandGroup::Instrument, .positionalArguments = 1)

}  // namespace kv::cli
