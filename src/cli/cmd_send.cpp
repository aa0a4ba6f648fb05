// kvmaint send FILE.kvd: writes the settings of a maintenance data file into
// the instrument, the way the window's transmit does after loading a file.
#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "cli/kvd_files.h"
#include "files/kvd_reader.h"
#include "files/send_check.h"
#include "link/transactions.h"
#include "model/instrument_settings.h"

namespace kv::cli {
namespace {

const QString kSaveAsDefault = QStringLiteral("save-as-default");

class SendCommand final : public InstrumentCommand {
 protected:
  void DeclareOwn(QCommandLineParser& parser) override {
    parser.addOption({kSaveAsDefault, QStringLiteral("End with \"UD,W,\": the instrument keeps the "
                                                     "settings as its defaults.")});
    parser.addPositionalArgument(QStringLiteral("FILE.kvd"), QStringLiteral("The settings to send."));
  }

  // The whole file is checked before the port is touched: nothing is sent
  // from a file that is missing, stops early or holds a line the instrument
  // would refuse part way through.
  std::optional<int> Prepare(const QCommandLineParser& parser) override {
    saveAsDefault_ = parser.isSet(kSaveAsDefault);
    path_ = parser.positionalArguments().constFirst();
    std::optional<std::string> content = ReadWholeFile(path_);
    if (!content) return kExitUsage;
    clsInstrument scratch;
    SendCheck check;
    const KvdLoadResult loaded =
        ReadMaintenanceText(scratch, *content, [&check](int line, std::string_view text) {
          check.CheckRecord(line, text);
        });
    for (const FileProblem& problem : check.Problems()) {
      PrintFileError(path_, problem.line, problem.reason);
    }
    if (!ReportLoad(path_, loaded) || !check.Problems().empty()) {
      PrintError("nothing was sent");
      return kExitUsage;
    }
    content_ = std::move(*content);
    return std::nullopt;
  }

  int Talk(InstrumentSession& session) override {
    clsInstrument current;
    const Outcome read = session.Run(GetInstrument(session.Link(), current), "Reading");
    if (read != Outcome::Done) return ReportFailure(session, read, "send (reading first)");

    // The file over a copy of what the instrument holds: its change flags
    // then mark exactly what the file sets, and only that is copied back.
    clsInstrument fromFile;
    CopyInstrument(fromFile, current, false);
    fromFile.ClearChangeFlags();
    (void)ReadMaintenanceText(fromFile, content_);  // checked complete in Prepare
    CopyInstrument(current, fromFile, true);

    const auto printSent = [](const SentWriteLine& line) { PrintLine(line.label); };
    const Outcome written =
        session.Run(SetInstrument(session.Link(), current, saveAsDefault_, printSent), "Writing");
    if (written != Outcome::Done) return ReportFailure(session, written, "send");
    return kExitOk;
  }

 private:
  QString path_;
  std::string content_;
  bool saveAsDefault_ = false;
};

}  // namespace

KV_DEFINE_COMMAND(SendCommand, .name = "send", .arguments = "[--save-as-default] FILE.kvd",
                    .summary = "Write the settings of a maintenance data file into the instrument.",
                    .details = "Reads the instrument first, puts the file's settings over what it\n"
                               "read and writes every group the file sets; prints each line sent\n"
                               "as its head and index (XS,W,06). The whole file is checked first:\n"
                               "a missing file, one that stops early or is cut short, or one with a\n"
                               "name or value the instrument does not take (each reported with its\n"
                               "line): exit status 2, nothing sent. A refused line: exit status 1.",
                    .group = CommandGroup::Instrument, .positionalArguments = 1)

}  // namespace kv::cli
