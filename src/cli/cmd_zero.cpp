// kvmaint zero: zero calibration of every channel.
#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "cli/service_help.h"
#include "link/transactions.h"

namespace kv::cli {
namespace {

class ZeroCommand final : public InstrumentCommand {
 protected:
  int Talk(InstrumentSession& session) override {
    ReplySink results;
    const Outcome outcome = session.Run(ZeroCal(session.Link(), results), "Adjusting zero");
    if (outcome == Outcome::Interrupted) return ReportFailure(session, outcome, "zero");
    std::string statuses;
    for (int channel = 0; channel < kSensorChannels; ++channel) {
      if (channel > 0) statuses += '\t';
      statuses += std::to_string(ZeroStatus(results, channel));
    }
    PrintLine(statuses);
    if (outcome != Outcome::Done) return ReportFailure(session, outcome, "zero");
    return kExitOk;
  }
};

}  // namespace

KV_DEFINE_COMMAND(ZeroCommand, .name = "zero", .arguments = "",
                    .summary = "Zero calibration; prints the seven channel statuses (-1: none).",
                    .details = CompletionPollHelp() +
                               "\nExit status 0 when the calibration completed.",
                    .group = CommandGroup::Instrument, .positionalArguments = 0)

}  // namespace kv::cli
