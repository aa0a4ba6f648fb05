#pragma once
// The common part of every command that talks to the instrument: the link
// options, the port (given or the USB infrared adapter), checks made before
// the port is touched, the confirmation of a destructive command, the
// connect, then the command's own exchange.
#include <optional>
#include <string_view>

#include "cli/command.h"
#include "cli/instrument_session.h"
#include "cli/link_options.h"

namespace kv::cli {

class InstrumentCommand : public Command {
 public:
  void Declare(QCommandLineParser& parser) final;
  int Run(const QCommandLineParser& parser) final;

 protected:
  const LinkOptions& Options() const { return options_; }
  // --verbose: the command lists what it did in detail.
  bool Verbose() const { return verbose_; }

  virtual void DeclareOwn(QCommandLineParser&) {}
  // False for a command that waits for instruments itself: the port is only
  // opened before Talk.
  virtual bool ConnectsFirst() const { return true; }
  // A destructive command returns what it is about to do ("erase the
  // instrument's data logger"): it then asks on a terminal and, without a
  // terminal, runs only with --yes.
  virtual std::string_view Destroys() const { return {}; }
  // Reads the command's own options and checks what can be checked before the
  // port is opened: nullopt to go on, or the exit status to end with.
  virtual std::optional<int> Prepare(const QCommandLineParser&) { return std::nullopt; }
  // The exchange with the connected instrument; returns the exit status.
  virtual int Talk(InstrumentSession& session) = 0;

  // The exit status for a transaction that did not end well, after saying why
  // on stderr: kExitInterrupted or kExitFailure.
  static int ReportFailure(InstrumentSession& session, Outcome outcome, std::string_view what);

 private:
  // nullopt when the user agreed (or gave --yes); otherwise the exit status.
  std::optional<int> Confirm(const QCommandLineParser& parser) const;

  LinkOptions options_;
  bool verbose_ = false;
};

}  // namespace kv::cli
