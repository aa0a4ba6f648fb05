#pragma once
// The common part of every command that talks to the instrument: the link
// options, the port (given or the USB infrared adapter), checks made before
// the port is touched, the connect, then the command's own exchange.
#include <optional>

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

  virtual void DeclareOwn(QCommandLineParser&) {}
  // Reads the command's own options and checks what can be checked before the
  // port is opened: nullopt to go on, or the exit status to end with.
  virtual std::optional<int> Prepare(const QCommandLineParser&) { return std::nullopt; }
  // The exchange with the connected instrument; returns the exit status.
  virtual int Talk(InstrumentSession& session) = 0;

  // The exit status for a transaction that did not end well, after saying why
  // on stderr: kExitInterrupted or kExitFailure.
  static int ReportFailure(InstrumentSession& session, Outcome outcome, std::string_view what);

 private:
  LinkOptions options_;
};

}  // namespace kv::cli
