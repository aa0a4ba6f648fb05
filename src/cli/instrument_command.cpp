#include "cli/instrument_command.h"

#include <istream>
#include <ostream>
#include <string>

#include "cli/cli_context.h"
#include "cli/cli_io.h"
#include "history/history_event.h"
#include "history/history_location.h"
#include "qtedge/adapter_port.h"

namespace kv::cli {
namespace {

const QString kQuiet = QStringLiteral("quiet");
const QString kVerbose = QStringLiteral("verbose");
const QString kYes = QStringLiteral("yes");

// One line typed at the terminal, "" at its end.
std::string ReadAnswer() {
  std::string answer;
  std::getline(*CurrentContext().in, answer);
  return answer;
}

}  // namespace

void InstrumentCommand::Declare(QCommandLineParser& parser) {
  DeclareLinkOptions(parser);
  DeclareHistoryOption(parser);
  parser.addOption({kQuiet, QStringLiteral("Show no progress on the terminal.")});
  parser.addOption({kVerbose, QStringLiteral("Tell in detail what was done.")});
  if (!Destroys().empty()) {
    parser.addOption({kYes, QStringLiteral("Do it without asking (needed when not run from a "
                                           "terminal).")});
  }
  DeclareOwn(parser);
}

std::optional<int> InstrumentCommand::Confirm(const QCommandLineParser& parser) const {
  const std::string_view what = Destroys();
  if (what.empty() || parser.isSet(kYes)) return std::nullopt;
  if (!CurrentContext().stdinTerminal) {
    PrintError("this " + std::string(what) +
               "; give --yes to do it without a terminal (nothing was sent)");
    return kExitUsage;
  }
  const std::string question = "This " + std::string(what) + ". Continue? [y/N] ";
  std::ostream& err = *CurrentContext().err;
  err << question;
  err.flush();
  const std::string answer = ReadAnswer();
  if (answer == "y" || answer == "Y" || answer == "yes" || answer == "YES" || answer == "Yes") {
    return std::nullopt;
  }
  PrintError("nothing was sent");
  return kExitUsage;
}

int InstrumentCommand::Run(const QCommandLineParser& parser) {
  QString error;
  const std::optional<LinkOptions> options = ReadLinkOptions(parser, &error);
  if (!options) return Usage(error);
  options_ = *options;
  verbose_ = parser.isSet(kVerbose);
  historyOption_ = HistoryOptionValue(parser);
  ProgressLine::SetQuiet(parser.isSet(kQuiet));
  if (const std::optional<int> status = Prepare(parser)) return *status;
  if (options_.port.isEmpty()) {
    const std::optional<QString> adapter = SelectAdapterPort(
        [](const QString& text, const QString& title) { PrintError(title + QStringLiteral(": ") + text); });
    if (!adapter) {
      PrintError("no infrared adapter found; give --port DEVICE");
      return kExitFailure;
    }
    options_.port = *adapter;
  }
  if (const std::optional<int> status = Confirm(parser)) return *status;
  InstrumentSession session(options_, CurrentContext().makeSession(options_));
  Outcome connected = Outcome::Failed;
  {
    ProgressLine status;
    status.SetLabel("connecting to " + Bytes(options_.port));
    connected = ConnectsFirst() ? session.Connect(options_.port) : session.OpenPort(options_.port);
  }
  if (connected == Outcome::Interrupted) {
    PrintError("interrupted while connecting");
    return kExitInterrupted;
  }
  if (connected == Outcome::Failed) return kExitFailure;
  if (!HistoryOperation().empty() || RecordsThroughOperations()) {
    recording_.emplace(options_, historyOption_);
    sink_ = ops::HistorySink(recording_->Recorder(), history::CurrentUser());
  }
  const int status = Talk(session);
  RecordHistory(session, status);
  return status;
}

void InstrumentCommand::RecordHistory(InstrumentSession& session, int status) {
  const std::string_view operation = HistoryOperation();
  if (operation.empty() || !recording_ || RecordsThroughOperations()) return;
  ops::OperationOutcome outcome;
  outcome.operation = std::string(operation);
  outcome.done = status == kExitOk;
  outcome.interrupted = status == kExitInterrupted;
  if (!outcome.done) outcome.failedAt = session.FailureText();
  // The identity is that of a record the command read; nothing is asked
  // of the instrument for the history alone.
  if (historyNote_.record != nullptr) sink_.Remember(*historyNote_.record);
  outcome.detail = historyNote_.detail;
  outcome.file = historyNote_.file;
  outcome.snapshot = historyNote_.snapshot;
  outcome.finished = session.Link().GetClock().Now();
  sink_.Finished(outcome);
  ReportRecording(outcome);
}

void InstrumentCommand::ReportRecording(const ops::OperationOutcome& outcome) const {
  if (!recording_) return;
  if (recording_->Recorder() == nullptr) {
    if (!recording_->Error().empty()) PrintError("history not recorded: " + recording_->Error());
    return;
  }
  if (!outcome.history.recorded) PrintError(history::NotRecordedText(outcome.history));
}

int InstrumentCommand::ReportFailure(InstrumentSession& session, Outcome outcome,
                                     std::string_view what) {
  if (outcome == Outcome::Interrupted) {
    PrintError(std::string(what) + ": interrupted");
    return kExitInterrupted;
  }
  PrintError(std::string(what) + " failed at " + session.FailureText());
  return kExitFailure;
}

int InstrumentCommand::Ended(InstrumentSession& session, Outcome outcome,
                             std::string_view result) const {
  if (outcome != Outcome::Done) return ReportFailure(session, outcome, CommandName());
  if (!result.empty()) WriteStdout(std::string(result) + (result.back() == '\n' ? "" : "\n"));
  return kExitOk;
}

}  // namespace kv::cli
