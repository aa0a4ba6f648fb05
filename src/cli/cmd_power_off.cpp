// kvmaint power-off: switches the instrument off.
#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "cli/service_help.h"
#include "ops/operations.h"

namespace kv::cli {
namespace {

class PowerOffCommand final : public InstrumentCommand {
 protected:
  std::string_view Destroys() const override { return "switches the instrument off"; }

  std::string_view HistoryOperation() const override { return history::kOpPowerOff; }
  bool RecordsThroughOperations() const override { return true; }

  int Talk(InstrumentSession& session) override {
    const Outcome outcome = session.Run(ops::RunPowerOff(session.Link(), Sink(), outcome_), "Power off");
    ReportRecording(outcome_);
    if (outcome == Outcome::Interrupted) return ReportFailure(session, outcome, "power-off");
    if (!outcome_.done) {
      PrintError("power-off: the instrument did not acknowledge \"RO,W,\"");
      return kExitFailure;
    }
    PrintLine("the instrument acknowledged and is switching off");
    return kExitOk;
  }

 private:
  ops::OperationOutcome outcome_;
};

}  // namespace

KV_DEFINE_COMMAND(PowerOffCommand, .name = "power-off", .arguments = "",
                    .summary = "Switch the instrument off.",
                    .details = "Prints a line once the instrument acknowledged. Exit status 1 when \"RO,W,\" got no acknowledgement." + std::string(kConfirmHelp),
                    .group = CommandGroup::Instrument, .positionalArguments = 0)

}  // namespace kv::cli
