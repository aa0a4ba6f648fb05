// kvmaint init FILE.kvd: initialises the instrument from a maintenance data
// file: every setting written, the clock set, the data logger erased.
#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "cli/kvd_files.h"
#include "cli/service_help.h"
#include "history/history_store.h"
#include "link/transactions.h"
#include "ops/service_operations.h"

namespace kv::cli {
namespace {

class InitCommand final : public InstrumentCommand {
 protected:
  std::string_view Destroys() const override {
    return "replaces every setting of the instrument with the file's, sets its clock and erases "
           "its data logger";
  }

  void DeclareOwn(QCommandLineParser& parser) override {
    parser.addPositionalArgument(QStringLiteral("FILE.kvd"), QStringLiteral("The settings to write."));
  }

  std::optional<int> Prepare(const QCommandLineParser& parser) override {
    if (!file_.Read(parser.positionalArguments().constFirst())) return kExitUsage;
    return std::nullopt;
  }

  std::string_view HistoryOperation() const override { return history::kOpInitialise; }
  bool RecordsThroughOperations() const override { return true; }

  // What the file does not hold keeps what the instrument holds, so the whole
  // record written is the instrument's with the file over it.
  int Talk(InstrumentSession& session) override {
    clsInstrument current;
    Outcome outcome = session.Run(GetInstrument(session.Link(), current), "Reading");
    if (outcome == Outcome::Done) {
      instrumentAsRead_ = current;  // its identity, whatever the file holds
      request_.instrument = &instrumentAsRead_;
      request_.file = Bytes(file_.path);
      request_.record = FileOverRecord(current, file_.content);
      SetRatioChannels(request_.record);
      outcome = session.Run(ops::RunInitialise(session.Link(), Sink(), request_, outcome_), "Initialising");
      ReportRecording(outcome_);
    }
    return Ended(session, outcome,
                 "initialised from " + Bytes(file_.path) +
                     ": every setting written, clock set, data logger erased");
  }

 private:
  FileToSend file_;
  clsInstrument instrumentAsRead_;
  ops::InitialiseRequest request_;
  ops::OperationOutcome outcome_;
};

}  // namespace

KV_DEFINE_COMMAND(InitCommand, .name = "init", .arguments = "[--yes] FILE.kvd",
                    .summary = "Initialise the instrument from a file: settings, clock, empty logger.",
                    .details = "Reads the instrument, puts the file's settings over what it read and\n"
                               "writes every setting, then sets the instrument's clock to the PC's\n"
                               "time and erases its data logger, stopping at the first step that\n"
                               "fails (exit status 1). The file is checked first as by send: exit\n"
                               "status 2 and nothing sent for a file that cannot be sent whole. " +
                               CompletionPollHelp() + kConfirmHelp,
                    .group = CommandGroup::Instrument, .positionalArguments = 1)

}  // namespace kv::cli
