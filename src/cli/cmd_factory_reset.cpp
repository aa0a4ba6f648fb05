// kvmaint factory-reset and load-defaults: replace every setting of the
// instrument with its factory settings, or with its defaults of one kind.
#include <charconv>

#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "cli/service_help.h"
#include "history/history_store.h"
#include "ops/service_operations.h"

namespace kv::cli {
namespace {

const QString kKind = QStringLiteral("kind");
// The kind goes out as hexadecimal in a 16-bit field the instrument reads signed.
constexpr int kHighestKind = 0x7FFF;

class FactoryResetCommand final : public InstrumentCommand {
 protected:
  std::string_view Destroys() const override {
    return "replaces every setting of the instrument with its factory settings";
  }
  std::string_view HistoryOperation() const override { return history::kOpFactoryRestore; }
  bool RecordsThroughOperations() const override { return true; }

  int Talk(InstrumentSession& session) override {
    const Outcome outcome = session.Run(ops::RunRestoreFactory(session.Link(), Sink(), outcome_),
                                        "Restoring the factory settings");
    ReportRecording(outcome_);
    return Ended(session, outcome, "factory settings restored");
  }

 private:
  ops::OperationOutcome outcome_;
};

class LoadDefaultsCommand final : public InstrumentCommand {
 protected:
  std::string_view Destroys() const override {
    return "replaces every setting of the instrument with its defaults";
  }
  std::string_view HistoryOperation() const override { return history::kOpLoadDefaults; }
  bool RecordsThroughOperations() const override { return true; }

  void DeclareOwn(QCommandLineParser& parser) override {
    parser.addOption({kKind, QStringLiteral("The kind of defaults, 0 to %1.").arg(kHighestKind),
                      QStringLiteral("N")});
  }

  std::optional<int> Prepare(const QCommandLineParser& parser) override {
    if (!parser.isSet(kKind)) return Usage(QStringLiteral("--kind N is required"));
    const std::string text = Bytes(parser.value(kKind));
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), kind_);
    if (ec != std::errc() || end != text.data() + text.size() || kind_ < 0 || kind_ > kHighestKind) {
      return Usage(Text("--kind takes a number from 0 to " + std::to_string(kHighestKind) + ", not \"" +
                        text + "\""));
    }
    return std::nullopt;
  }

  int Talk(InstrumentSession& session) override {
    const Outcome outcome =
        session.Run(ops::RunLoadDefaults(session.Link(), Sink(), kind_, outcome_), "Loading the defaults");
    ReportRecording(outcome_);
    return Ended(session, outcome, "defaults of kind " + std::to_string(kind_) + " loaded");
  }

 private:
  int kind_ = 0;
  ops::OperationOutcome outcome_;
};

}  // namespace

KV_DEFINE_COMMAND(FactoryResetCommand, .name = "factory-reset", .arguments = "[--yes]",
                    .summary = "Restore the instrument's factory settings.",
                    .details = CompletionPollHelp() + kConfirmHelp,
                    .group = CommandGroup::Instrument, .positionalArguments = 0)

KV_DEFINE_COMMAND(LoadDefaultsCommand, .name = "load-defaults", .arguments = "--kind N [--yes]",
                    .summary = "Load the instrument's default settings of one kind.",
                    .details = "N is sent in hexadecimal (\"UX,W,A\" for 10); exit status 1 when the\n"
                               "instrument reports anything but success. " +
                               CompletionPollHelp() + kConfirmHelp,
                    .group = CommandGroup::Instrument, .positionalArguments = 0)

}  // namespace kv::cli
