// kvmaint clear-log: erases the instrument's data logger.
#include "cli/instrument_command.h"
#include "cli/service_help.h"
#include "link/transactions.h"

namespace kv::cli {
namespace {

class ClearLogCommand final : public InstrumentCommand {
 protected:
  std::string_view Destroys() const override { return "erases the instrument's data logger"; }

  std::string_view HistoryOperation() const override { return history::kOpClearLog; }

  int Talk(InstrumentSession& session) override {
    const Outcome outcome = session.Run(BodyDataClear(session.Link()), "Erasing the data logger");
    return Ended(session, outcome, "");
  }
};

}  // namespace

KV_DEFINE_COMMAND(ClearLogCommand, .name = "clear-log", .arguments = "",
                    .summary = "Erase the instrument's data logger.",
                    .details = CompletionPollHelp() + kConfirmHelp, .group = CommandGroup::Instrument,
                    .positionalArguments = 0)

}  // namespace kv::cli
