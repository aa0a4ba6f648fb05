// kvmaint send FILE.kvd: writes the settings of a maintenance data file into
// the instrument, the way the window's transmit does after loading a file.
#include <chrono>
#include <cstdio>

#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "cli/kvd_files.h"
#include "files/record_as_filed.h"
#include "link/record_differences.h"
#include "link/transactions.h"
#include "model/instrument_settings.h"
#include "ops/operations.h"
#include "rules/setting_names.h"

namespace kv::cli {
namespace {

const QString kSaveAsDefault = QStringLiteral("save-as-default");
const QString kOnlyChanges = QStringLiteral("only-changes");
const QString kNoVerify = QStringLiteral("no-verify");

class SendCommand final : public InstrumentCommand {
 protected:
  void DeclareOwn(QCommandLineParser& parser) override {
    parser.addOption({kSaveAsDefault, QStringLiteral("End with \"UD,W,\": the instrument keeps the "
                                                     "settings as its defaults.")});
    parser.addOption({kOnlyChanges, QStringLiteral("Write only the groups whose settings differ from "
                                                   "what the instrument holds.")});
    parser.addOption({kNoVerify, QStringLiteral("Do not read the instrument back to check what it holds.")});
    parser.addPositionalArgument(QStringLiteral("FILE.kvd"), QStringLiteral("The settings to send."));
  }

  // The whole file is checked before the port is touched: nothing is sent
  // from a file that is missing, stops early or holds a line the instrument
  // would refuse part way through.
  std::optional<int> Prepare(const QCommandLineParser& parser) override {
    saveAsDefault_ = parser.isSet(kSaveAsDefault);
    onlyChanges_ = parser.isSet(kOnlyChanges);
    verify_ = !parser.isSet(kNoVerify);
    if (!file_.Read(parser.positionalArguments().constFirst())) return kExitUsage;
    return std::nullopt;
  }

  std::string_view HistoryOperation() const override { return history::kOpTransmit; }
  bool RecordsThroughOperations() const override { return true; }

  int Talk(InstrumentSession& session) override {
    clsInstrument& current = request_.before;
    const Outcome read = session.Run(GetInstrument(session.Link(), current), "Reading");
    if (read != Outcome::Done) return ReportFailure(session, read, "send (reading first)");
    Sink().Remember(current);  // its identity, whatever the file holds

    clsInstrument fromFile = FileOverRecord(current, file_.content);
    request_.record = current;
    if (onlyChanges_) {
      // Against the instrument as a file would hold it: what the file
      // cannot keep is no change.
      const clsInstrument asFiled = AsFiled(current);
      const std::vector<SettingDifference> differing = FlagDifferences(fromFile, asFiled);
      for (const SettingDifference& d : differing) {
        PrintLine("differs: " + rules::DescribeChange(d.name, d.index, asFiled, fromFile).Line());
      }
      request_.record = fromFile;
    } else {
      CopyInstrument(request_.record, fromFile, true);
    }
    request_.saveAsDefault = saveAsDefault_;
    request_.verify = verify_;
    request_.file = Bytes(file_.path);
    request_.onLine = [this](const SentWriteLine& line) {
      if (Verbose()) PrintLine(line.label);
    };

    const auto started = std::chrono::steady_clock::now();
    const Outcome written =
        session.Run(ops::RunTransmit(session.Link(), Sink(), request_, outcome_), "Writing");
    ReportRecording(outcome_);
    if (!outcome_.done || written == Outcome::Interrupted) return ReportFailure(session, written, "send");
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, " in %.1f s", took.count());
    const std::string detail = outcome_.detail;
    const bool verified = outcome_.verification.state != ops::VerifyState::NotAsked;
    PrintLine(detail.substr(0, detail.find(';')) + seconds + (verified ? "; verified" : ""));
    if (outcome_.Succeeded()) return kExitOk;
    for (const ops::Mismatch& m : outcome_.verification.mismatches) {
      PrintError("not as sent: " + m.name + ": sent " + m.sent + ", holds " + m.held);
    }
    PrintError("send: " + outcome_.verification.Text());
    return kExitFailure;
  }

 private:
  FileToSend file_;
  ops::TransmitRequest request_;
  ops::OperationOutcome outcome_;
  bool saveAsDefault_ = false;
  bool onlyChanges_ = false;
  bool verify_ = true;
};

}  // namespace

KV_DEFINE_COMMAND(SendCommand, .name = "send",
                    .arguments = "[--save-as-default] [--only-changes] [--no-verify] FILE.kvd",
                    .summary = "Write the settings of a maintenance data file into the instrument.",
                    .details = "Reads the instrument first, puts the file's settings over what it\n"
                               "read and writes every group the file sets, then prints one line:\n"
                               "settings written, groups, lines and the time the writing took\n"
                               "(--verbose: also each line sent as its head and index, XS,W,06).\n"
                               "With --only-changes only the groups whose settings differ from the\n"
                               "instrument are written, each differing setting printed first\n"
                               "(\"differs: CO warning level: 25 ppm -> 35 ppm\"). Then the instrument is\n"
                               "read back and every setting written must be held as sent: one that is\n"
                               "not is named on stderr and the exit status is 1 (--no-verify: no read-back).\n"
                               "The whole file is checked first:\n"
                               "a missing file, one that stops early or is cut short, or one with a\n"
                               "name or value the instrument does not take (each reported with its\n"
                               "line): exit status 2, nothing sent. A refused line: exit status 1.",
                    .group = CommandGroup::Instrument, .positionalArguments = 1)

}  // namespace kv::cli
