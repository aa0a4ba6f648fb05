// kvmaint station --apply FILE.kvd: rolls one distributed file out to a line
// of instruments placed on the adapter one after another, unattended between
// them.
#include <QtGlobal>
#include <filesystem>
#include <set>

#include "cli/cli_io.h"
#include "cli/history_recording.h"
#include "cli/instrument_command.h"
#include "cli/kvd_files.h"
#include "common/clock.h"
#include "files/backup_name.h"
#include "ops/station_files.h"
#include "ops/station_run.h"
#include "qtedge/data_folder.h"

namespace kv::cli {
namespace {

const QString kApply = QStringLiteral("apply");
const QString kNoVerify = QStringLiteral("no-verify");
const QString kNoClock = QStringLiteral("no-clock");
const QString kNoPowerOff = QStringLiteral("no-power-off");
const QString kReport = QStringLiteral("report");
const QString kCount = QStringLiteral("count");
constexpr int kMostInstruments = 100000;

// Prints each instrument's line as soon as its cycle ends and remembers
// where the run was when it was interrupted.
class LinePrinter final : public StationObserver {
 public:
  void PhaseChanged(StationPhase phase, const std::string& serial) override {
    phase_ = phase;
    serial_ = serial;
    if (phase == StationPhase::Waiting) PrintError("waiting for the next instrument");
  }
  void InstrumentFinished(const StationOutcome& outcome) override { PrintLine(OutcomeLine(outcome)); }
  bool BetweenInstruments() const { return phase_ == StationPhase::Waiting; }
  std::string Where() const {
    return std::string(PhaseText(phase_)) + (serial_.empty() ? "" : " " + serial_);
  }

 private:
  StationPhase phase_ = StationPhase::Waiting;
  std::string serial_;
};

class StationCommand final : public InstrumentCommand {
 protected:
  void DeclareOwn(QCommandLineParser& parser) override {
    parser.addOption({kApply, QStringLiteral("The distributed maintenance data file to roll out."),
                      QStringLiteral("FILE.kvd")});
    parser.addOption({kNoVerify, QStringLiteral("Do not read each instrument again after writing.")});
    parser.addOption({kNoClock, QStringLiteral("Do not set the instruments' clocks.")});
    parser.addOption({kNoPowerOff, QStringLiteral("Leave each instrument on (take it away by hand).")});
    parser.addOption({kReport,
                      QStringLiteral("Write the run report here instead of beside the backups."),
                      QStringLiteral("OUT.csv")});
    parser.addOption({kCount, QStringLiteral("Stop after N instruments."), QStringLiteral("N")});
  }

  bool ConnectsFirst() const override { return false; }
  bool RecordsThroughOperations() const override { return true; }

  std::optional<int> Prepare(const QCommandLineParser& parser) override {
    if (!parser.isSet(kApply) || parser.value(kApply).isEmpty()) {
      return Usage(QStringLiteral("--apply FILE.kvd is needed"));
    }
    if (parser.isSet(kCount)) {
      const std::optional<int> count = WholeNumber(parser.value(kCount), 1, kMostInstruments);
      if (!count) return Usage(QStringLiteral("--count needs a number from 1 to %1").arg(kMostInstruments));
      plan_.options.count = *count;
    }
    plan_.options.verify = !parser.isSet(kNoVerify);
    plan_.options.setClock = !parser.isSet(kNoClock);
    plan_.options.powerOff = !parser.isSet(kNoPowerOff);

    const QString path = parser.value(kApply);
    std::optional<std::string> content = ReadWholeFile(path);
    if (!content) return kExitUsage;
    const std::vector<std::string> problems = DistributedFileProblems(*content);
    for (const std::string& problem : problems) PrintError(Bytes(path) + ": " + problem);
    if (!problems.empty()) {
      PrintError("nothing was sent");
      return kExitUsage;
    }
    plan_.fileContent = std::move(*content);
    plan_.fileName = Bytes(path);

    const std::optional<std::filesystem::path> folder = ResolveDataFolder(Options().dataDir);
    if (!folder) {
      PrintError(QStringLiteral("cannot create the data folder %1").arg(ChooseDataFolder(Options().dataDir)));
      return kExitUsage;
    }
    const std::filesystem::path backups = *folder / kBackupFolderName;
    const std::string problem = BackupFolderProblem(backups);
    if (!problem.empty()) {
      PrintError("the backup folder " + backups.string() + " " + problem);
      return kExitUsage;
    }
    plan_.backupFolder = backups.string();
    reportGiven_ = parser.isSet(kReport);
    reportPath_ = parser.isSet(kReport) ? ToFsPath(parser.value(kReport)).string()
                                        : StationReportPath(plan_.backupFolder, clock_.Now());
    plan_.user = Bytes(qEnvironmentVariable("USER"));

    PrintLine("distributed file: " + plan_.fileName);
    PrintLine("kept as each instrument has them:");
    for (const std::string& line : PerInstrumentSummary()) PrintLine("  " + line);
    return std::nullopt;
  }

  int Talk(InstrumentSession& session) override {
    LinePrinter printer;
    ops::OperationOutcome notRecorded;  // says once why nothing can be recorded
    if (!Sink().Active()) ReportRecording(notRecorded);
    StationRun run(plan_, &printer, Sink().Recorder());
    StationReportFile report;
    const bool opened = reportGiven_ ? report.Create(reportPath_) : report.Claim(reportPath_);
    if (opened) run.SetReport(&report);
    const Outcome ended = session.Run(RunStation(session.Link(), run), "Station");
    const std::vector<std::string> historyErrors = run.HistoryErrors();
    for (const std::string& problem : std::set(historyErrors.begin(), historyErrors.end())) {
      PrintError(problem);
    }
    PrintLine(StationSummary(run.Outcomes()));
    const std::string error = opened ? run.ReportError() : report.Error();
    if (!error.empty()) {
      PrintError("cannot write the report " + (opened ? report.Path() : reportPath_) + ": " + error);
    } else {
      PrintLine("report: " + report.Path());
    }
    if (ended == Outcome::Interrupted && !printer.BetweenInstruments()) {
      PrintError("interrupted while " + printer.Where());
      return kExitInterrupted;
    }
    for (const StationOutcome& outcome : run.Outcomes()) {
      if (outcome.result == StationPhase::Failed) return kExitFailure;
    }
    return error.empty() ? kExitOk : kExitUsage;
  }

 private:
  SystemClock clock_;
  StationPlan plan_;
  std::string reportPath_;
  bool reportGiven_ = false;
};

}  // namespace

KV_DEFINE_COMMAND(StationCommand, .name = "station",
                  .arguments = "--apply FILE.kvd [--no-verify] [--no-clock] [--no-power-off] "
                               "[--report OUT.csv] [--count N]",
                  .summary = "Roll a distributed file out to instruments placed one after another.",
                  .details = "Waits for an instrument, reads it into a dated backup, writes the\n"
                             "settings of FILE.kvd in which it differs (never its own serial and\n"
                             "manufacture numbers, sensors fitted or calibration values, listed\n"
                             "first), reads it again to verify, sets its clock and switches it off;\n"
                             "then waits for the next. One line per instrument: time, serial,\n"
                             "settings written, verification, result. An instrument already done\n"
                             "in this run is skipped; a file for other sensors is refused before\n"
                             "anything is written. A failed instrument is left on and the run goes\n"
                             "on once it is taken away. Ctrl-C between instruments ends the run; a\n"
                             "summary follows and the report (one CSV row per instrument) is\n"
                             "written beside the backups unless --report names it. Exit status 1\n"
                             "when any instrument failed, 2 for a file that cannot be used.",
                  .group = CommandGroup::Instrument, .positionalArguments = 0)

}  // namespace kv::cli
