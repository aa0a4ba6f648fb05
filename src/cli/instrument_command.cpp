#include "cli/instrument_command.h"

#include "cli/cli_io.h"
#include "qtedge/adapter_port.h"

namespace kv::cli {

void InstrumentCommand::Declare(QCommandLineParser& parser) {
  DeclareLinkOptions(parser);
  DeclareOwn(parser);
}

int InstrumentCommand::Run(const QCommandLineParser& parser) {
  QString error;
  const std::optional<LinkOptions> options = ReadLinkOptions(parser, &error);
  if (!options) return Usage(error);
  options_ = *options;
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
  InstrumentSession session(options_);
  const Outcome connected = session.Connect(options_.port);
  if (connected == Outcome::Interrupted) {
    PrintError("interrupted while connecting");
    return kExitInterrupted;
  }
  if (connected == Outcome::Failed) return kExitFailure;
  return Talk(session);
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

}  // namespace kv::cli
