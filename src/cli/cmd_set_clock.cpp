// kvmaint set-clock: sets the instrument's clock to the PC's time.
#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "history/history_store.h"
#include "ops/operations.h"

namespace kv::cli {
namespace {

class SetClockCommand final : public InstrumentCommand {
 protected:
  std::string_view HistoryOperation() const override { return history::kOpSetClock; }
  bool RecordsThroughOperations() const override { return true; }

  // The time written is the session clock's, as the window's Set Clock writes.
  int Talk(InstrumentSession& session) override {
    const Outcome outcome = session.Run(ops::RunSetClock(session.Link(), Sink(), outcome_), "Setting the clock");
    ReportRecording(outcome_);
    return Ended(session, outcome, outcome_.detail);
  }

 private:
  ops::OperationOutcome outcome_;
};

}  // namespace

KV_DEFINE_COMMAND(SetClockCommand, .name = "set-clock", .arguments = "",
                    .summary = "Set the instrument's clock to the PC's time; prints the time written.",
                    .details = "", .group = CommandGroup::Instrument, .positionalArguments = 0)

}  // namespace kv::cli
