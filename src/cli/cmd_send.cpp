// kvmaint send FILE.kvd: writes the settings of a maintenance data file into
// the instrument, the way the window's transmit does after loading a file.
#include <chrono>
#include <cstdio>
#include <set>

#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "cli/kvd_files.h"
#include "files/record_as_filed.h"
#include "link/record_differences.h"
#include "link/transactions.h"
#include "model/instrument_settings.h"
#include "rules/setting_names.h"

namespace kv::cli {
namespace {

const QString kSaveAsDefault = QStringLiteral("save-as-default");
const QString kOnlyChanges = QStringLiteral("only-changes");

// "wrote 3 settings in 3 groups (4 lines) in 1.2 s"
std::string Summary(int settings, std::size_t groups, int lines, double seconds) {
  char text[128];
  std::snprintf(text, sizeof text, "wrote %d setting%s in %zu group%s (%d line%s) in %.1f s", settings,
                settings == 1 ? "" : "s", groups, groups == 1 ? "" : "s", lines, lines == 1 ? "" : "s",
                seconds);
  return text;
}

class SendCommand final : public InstrumentCommand {
 protected:
  void DeclareOwn(QCommandLineParser& parser) override {
    parser.addOption({kSaveAsDefault, QStringLiteral("End with \"UD,W,\": the instrument keeps the "
                                                     "settings as its defaults.")});
    parser.addOption({kOnlyChanges, QStringLiteral("Write only the groups whose settings differ from "
                                                   "what the instrument holds.")});
    parser.addPositionalArgument(QStringLiteral("FILE.kvd"), QStringLiteral("The settings to send."));
  }

  // The whole file is checked before the port is touched: nothing is sent
  // from a file that is missing, stops early or holds a line the instrument
  // would refuse part way through.
  std::optional<int> Prepare(const QCommandLineParser& parser) override {
    saveAsDefault_ = parser.isSet(kSaveAsDefault);
    onlyChanges_ = parser.isSet(kOnlyChanges);
    if (!file_.Read(parser.positionalArguments().constFirst())) return kExitUsage;
    return std::nullopt;
  }

  std::string_view HistoryOperation() const override { return history::kOpTransmit; }

  int Talk(InstrumentSession& session) override {
    clsInstrument current;
    const Outcome read = session.Run(GetInstrument(session.Link(), current), "Reading");
    if (read != Outcome::Done) return ReportFailure(session, read, "send (reading first)");
    instrumentAsRead_ = current;  // its identity, whatever the file holds
    History().record = &instrumentAsRead_;
    History().file = Bytes(file_.path);
    History().snapshot = file_.content;

    clsInstrument fromFile = FileOverRecord(current, file_.content);
    int settings = 0;
    if (onlyChanges_) {
      // Against the instrument as a file would hold it: what the file
      // cannot keep is no change.
      const clsInstrument asFiled = AsFiled(current);
      const std::vector<SettingDifference> differing = FlagDifferences(fromFile, asFiled);
      for (const SettingDifference& d : differing) {
        PrintLine("differs: " + rules::DescribeChange(d.name, d.index, asFiled, fromFile).Line());
      }
      settings = static_cast<int>(differing.size());
      current = fromFile;
    } else {
      settings = CountFlaggedSettings(fromFile);
      CopyInstrument(current, fromFile, true);
    }

    const auto started = std::chrono::steady_clock::now();
    std::set<std::string> groups;
    int lines = 0;
    const auto noteSent = [this, &groups, &lines](const SentWriteLine& line) {
      ++lines;
      groups.insert(line.label.substr(0, line.label.find(',')));
      if (Verbose()) PrintLine(line.label);
    };
    const Outcome written =
        session.Run(SetInstrument(session.Link(), current, saveAsDefault_, noteSent), "Writing");
    if (written != Outcome::Done) return ReportFailure(session, written, "send");
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    History().detail = Summary(settings, groups.size(), lines, took.count());
    PrintLine(History().detail);
    return kExitOk;
  }

 private:
  FileToSend file_;
  clsInstrument instrumentAsRead_;
  bool saveAsDefault_ = false;
  bool onlyChanges_ = false;
};

}  // namespace

KV_DEFINE_COMMAND(SendCommand, .name = "send", .arguments = "[--save-as-default] [--only-changes] FILE.kvd",
                    .summary = "Write the settings of a maintenance data file into the instrument.",
                    .details = "Reads the instrument first, puts the file's settings over what it\n"
                               "read and writes every group the file sets, then prints one line:\n"
                               "settings written, groups, lines and the time the writing took\n"
                               "(--verbose: also each line sent as its head and index, XS,W,06).\n"
                               "With --only-changes only the groups whose settings differ from the\n"
                               "instrument are written, each differing setting printed first\n"
                               "(\"differs: CO warning level: 25 ppm -> 35 ppm\").\n"
                               "The whole file is checked first:\n"
                               "a missing file, one that stops early or is cut short, or one with a\n"
                               "name or value the instrument does not take (each reported with its\n"
                               "line): exit status 2, nothing sent. A refused line: exit status 1.",
                    .group = CommandGroup::Instrument, .positionalArguments = 1)

}  // namespace kv::cli
