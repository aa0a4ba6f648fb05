#pragma once
// The common part of every command that talks to the instrument: the link
// options, the port (given or the USB infrared adapter), checks made before
// the port is touched, the confirmation of a destructive command, the
// connect, then the command's own exchange.
#include <optional>
#include <string_view>

#include "cli/command.h"
#include "cli/history_recording.h"
#include "cli/instrument_session.h"
#include "cli/link_options.h"
#include "ops/history_sink.h"

namespace kv::cli {

class InstrumentCommand : public Command {
 public:
  void Declare(QCommandLineParser& parser) final;
  int Run(const QCommandLineParser& parser) final;

 protected:
  const LinkOptions& Options() const { return options_; }
  // The port to open, chosen in Prepare (a command serving several adapters).
  void SetPort(const QString& port) { options_.port = port; }
  // --verbose: the command lists what it did in detail.
  bool Verbose() const { return verbose_; }
  // --history as given; nullopt for the configured store.
  const std::optional<std::string>& HistoryOption() const { return historyOption_; }

  virtual void DeclareOwn(QCommandLineParser&) {}
  // False for a command that waits for instruments itself: the port is only
  // opened before Talk.
  virtual bool ConnectsFirst() const { return true; }
  // A destructive command says what it is about to do ("erases the
  // instrument's data logger"): it then asks on a terminal and, without a
  // terminal, runs only with --yes.
  virtual std::string_view Destroys() const { return {}; }
  // Reads the command's own options and checks what can be checked before the
  // port is opened: nullopt to go on, or the exit status to end with.
  virtual std::optional<int> Prepare(const QCommandLineParser&) { return std::nullopt; }
  // The exchange with the connected instrument; returns the exit status.
  virtual int Talk(InstrumentSession& session) = 0;

  // The operation recorded in the instrument history when Talk has ended
  // (history::kOp*); "" records nothing. The event's result is "ok" for exit
  // status 0, otherwise what failed.
  virtual std::string_view HistoryOperation() const { return {}; }
  // A command whose operations (src/ops) record themselves through Sink():
  // nothing more is recorded after Talk.
  virtual bool RecordsThroughOperations() const { return false; }
  // What Talk adds to the event: the record it read, its detail, file and snapshot.
  HistoryNote& History() { return historyNote_; }
  // Where the operations of this run are recorded.
  ops::HistorySink& Sink() { return sink_; }
  // Says on stderr when an operation's event was not recorded.
  void ReportRecording(const ops::OperationOutcome& outcome) const;

  // The exit status for a transaction that did not end well, after saying why
  // on stderr: kExitInterrupted or kExitFailure.
  static int ReportFailure(InstrumentSession& session, Outcome outcome, std::string_view what);

  // The one place a service command's exchange ends: when it was done, its
  // result (lines, may be empty) on stdout and kExitOk; otherwise why not
  // on stderr and kExitInterrupted or kExitFailure.
  int Ended(InstrumentSession& session, Outcome outcome, std::string_view result) const;

 private:
  // nullopt when the user agreed (or gave --yes); otherwise the exit status.
  std::optional<int> Confirm(const QCommandLineParser& parser) const;
  void RecordHistory(InstrumentSession& session, int status);

  LinkOptions options_;
  bool verbose_ = false;
  std::optional<std::string> historyOption_;
  HistoryNote historyNote_;
  std::optional<RunRecording> recording_;  // from the start of the run, when it records
  ops::HistorySink sink_{nullptr, {}};
};

}  // namespace kv::cli
