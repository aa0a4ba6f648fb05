// kvmaint clear-log: erases the instrument's data logger.
#include "cli/instrument_command.h"
#include "cli/service_help.h"
#include "ops/service_operations.h"

namespace kv::cli {
namespace {

class ClearLogCommand final : public InstrumentCommand {
 protected:
  std::string_view Destroys() const override { return "erases the instrument's data logger"; }

  std::string_view HistoryOperation() const override { return history::kOpClearLog; }
  bool RecordsThroughOperations() const override { return true; }

  int Talk(InstrumentSession& session) override {
    const Outcome outcome =
        session.Run(ops::RunClearDataLogger(session.Link(), Sink(), outcome_), "Erasing the data logger");
    ReportRecording(outcome_);
    return Ended(session, outcome, "");
  }

 private:
  ops::OperationOutcome outcome_;
};

}  // namespace

KV_DEFINE_COMMAND(ClearLogCommand, .name = "clear-log", .arguments = "",
                    .summary = "Erase the instrument's data logger.",
                    .details = CompletionPollHelp() + kConfirmHelp, .group = CommandGroup::Instrument,
                    .positionalArguments = 0)

}  // namespace kv::cli
