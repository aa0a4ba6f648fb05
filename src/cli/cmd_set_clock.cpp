// kvmaint set-clock: sets the instrument's clock to the PC's time.
#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "common/clock.h"
#include "link/transactions.h"

namespace kv::cli {
namespace {

class SetClockCommand final : public InstrumentCommand {
 protected:
  std::string_view HistoryOperation() const override { return history::kOpSetClock; }

  int Talk(InstrumentSession& session) override {
    const DateTime now = SystemClock().Now();
    const Outcome outcome = session.Run(SetDateTime(session.Link(), now), "Setting the clock");
    if (outcome != Outcome::Done) return ReportFailure(session, outcome, "set-clock");
    History().detail = FormatGeneralDate(now);
    PrintLine(History().detail);
    return kExitOk;
  }
};

}  // namespace

KV_DEFINE_COMMAND(SetClockCommand, .name = "set-clock", .arguments = "",
                    .summary = "Set the instrument's clock to the PC's time; prints the time written.",
                    .details = "", .group = CommandGroup::Instrument, .positionalArguments = 0)

}  // namespace kv::cli
