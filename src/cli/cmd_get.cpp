// kvmaint get: reads every setting of the instrument into a maintenance data
// file, by default the next dated backup in the data folder.
#include <filesystem>

#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "cli/kvd_files.h"
#include "common/clock.h"
#include "files/backup_name.h"
#include "ops/operations.h"
#include "qtedge/data_folder.h"

namespace kv::cli {
namespace {

const QString kOutput = QStringLiteral("output");

class GetCommand final : public InstrumentCommand {
 protected:
  void DeclareOwn(QCommandLineParser& parser) override {
    parser.addOption({kOutput,
                      QStringLiteral("Write the settings to FILE.kvd instead of the next dated "
                                     "backup in the data folder's Backup folder."),
                      QStringLiteral("FILE.kvd")});
  }

  std::optional<int> Prepare(const QCommandLineParser& parser) override {
    if (parser.isSet(kOutput)) {
      if (parser.value(kOutput).isEmpty()) return Usage(QStringLiteral("--output needs a file name"));
      output_ = ToFsPath(parser.value(kOutput));
      return std::nullopt;
    }
    const std::optional<std::filesystem::path> folder = ResolveDataFolder(Options().dataDir);
    if (!folder) {
      PrintError(QStringLiteral("cannot create the data folder %1").arg(ChooseDataFolder(Options().dataDir)));
      return kExitUsage;
    }
    backupFolder_ = *folder / kBackupFolderName;
    // No point in reading when the result could not be kept.
    const std::string problem = BackupFolderProblem(backupFolder_);
    if (!problem.empty()) {
      PrintError("the backup folder " + backupFolder_.string() + " " + problem);
      return kExitUsage;
    }
    if (!NextBackupPath(backupFolder_, clock_.Now())) return NoBackupName();
    return std::nullopt;
  }

  std::string_view HistoryOperation() const override { return history::kOpRead; }
  bool RecordsThroughOperations() const override { return true; }

  int Talk(InstrumentSession& session) override {
    request_ = {backupFolder_, output_};
    const Outcome read =
        session.Run(ops::RunReadAndBackup(session.Link(), Sink(), record_, request_, outcome_), "Reading");
    ReportRecording(outcome_);
    if (!outcome_.done) return ReportFailure(session, read, "get");
    if (read == Outcome::Interrupted) return ReportFailure(session, read, "get");
    if (outcome_.backupError.empty()) {
      PrintLine(Bytes(FromFsPath(std::filesystem::path(outcome_.backupPath))));
      return kExitOk;
    }
    if (outcome_.backupPath.empty()) return NoBackupName();
    PrintFileError(FromFsPath(std::filesystem::path(outcome_.backupPath)), 0, outcome_.backupError);
    return kExitUsage;
  }

 private:
  int NoBackupName() const {
    PrintError(QStringLiteral("all %1 backup names of today are taken in %2")
                   .arg(kBackupNamesPerDay)
                   .arg(FromFsPath(backupFolder_)));
    return kExitUsage;
  }

  SystemClock clock_;
  clsInstrument record_;
  ops::ReadRequest request_;
  ops::OperationOutcome outcome_;
  std::filesystem::path output_;
  std::filesystem::path backupFolder_;
};

}  // namespace

KV_DEFINE_COMMAND(GetCommand, .name = "get", .arguments = "[--output FILE.kvd]",
                    .summary = "Read every setting of the instrument into a maintenance data file.",
                    .details = "Without --output the file is the next free dated backup in the data\n"
                               "folder's Backup folder (yyyyMMdd.kvd, yyyyMMdd_1.kvd ... _99); its\n"
                               "path is printed. Exit status 1 when the instrument does not answer or\n"
                               "refuses a reply (no file is written), 2 when all 100 backup names of\n"
                               "the day are taken, the Backup folder cannot be written (checked before\n"
                               "reading) or the file cannot be written. --output naming a symbolic\n"
                               "link writes the file the link points to.",
                    .group = CommandGroup::Instrument, .positionalArguments = 0)

}  // namespace kv::cli
