// kvmaint station --apply FILE.kvd: rolls one distributed file out to a line
// of instruments placed on the adapter one after another, unattended between
// them.
#include <QTimer>
#include <QtGlobal>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "cli/cli_context.h"
#include "cli/cli_io.h"
#include "cli/history_recording.h"
#include "cli/instrument_command.h"
#include "cli/kvd_files.h"
#include "common/clock.h"
#include "files/backup_name.h"
#include "ops/station_files.h"
#include "ops/station_run.h"
#include "qtedge/adapter_port.h"
#include "qtedge/data_folder.h"

namespace kv::cli {
namespace {

const QString kApply = QStringLiteral("apply");
const QString kNoVerify = QStringLiteral("no-verify");
const QString kNoClock = QStringLiteral("no-clock");
const QString kNoPowerOff = QStringLiteral("no-power-off");
const QString kReport = QStringLiteral("report");
const QString kCount = QStringLiteral("count");
const QString kPort = QStringLiteral("port");
const QString kAllAdapters = QStringLiteral("all-adapters");
// How often --all-adapters looks for adapters plugged in during the run.
constexpr int kAdapterSearchMs = 2000;
constexpr int kMostInstruments = 100000;

// Prints each instrument's line as soon as its cycle ends and remembers
// where each adapter was when the run was interrupted.
class LinePrinter final : public StationObserver {
 public:
  void PhaseChanged(StationPhase phase, const std::string& serial) override {
    PortPhaseChanged(std::string(), phase, serial);
  }
  void PortPhaseChanged(const std::string& port, StationPhase phase, const std::string& serial) override {
    where_[port] = {phase, serial};
    if (phase == StationPhase::Waiting) {
      PrintError("waiting for the next instrument" + (port.empty() ? std::string() : " on " + port));
    }
  }
  void InstrumentFinished(const StationOutcome& outcome) override { PrintLine(OutcomeLine(outcome)); }
  // No adapter is in the middle of an instrument.
  bool BetweenInstruments() const {
    for (const auto& [port, at] : where_) {
      if (at.phase != StationPhase::Waiting) return false;
    }
    return true;
  }
  // "reading KV-1001", and on which adapter when there are several.
  std::string Where() const {
    for (const auto& [port, at] : where_) {
      if (at.phase == StationPhase::Waiting) continue;
      return std::string(PhaseText(at.phase)) + (at.serial.empty() ? "" : " " + at.serial) +
             (port.empty() ? "" : " on " + port);
    }
    return std::string(PhaseText(StationPhase::Waiting));
  }

 private:
  struct At {
    StationPhase phase = StationPhase::Waiting;
    std::string serial;
  };
  std::map<std::string, At> where_;
};

// The adapters besides the first, each with its own session (port, link,
// tick) on the one event loop and its own part of the run; a failure on one
// stops no other.
class MoreAdapters {
 public:
  MoreAdapters(StationRun& run, LinkOptions options) : run_(run), options_(std::move(options)) {}

  bool Has(const QString& port) const {
    for (const auto& adapter : adapters_) {
      if (adapter->port == port) return true;
    }
    return false;
  }
  // Opens `port` and starts its line; a port that does not open is said and left out.
  void Add(const QString& port) {
    auto adapter = std::make_unique<Adapter>(run_, port);
    LinkOptions options = options_;
    options.port = port;
    options.logPath.clear();  // one session log is the first adapter's
    adapter->session = std::make_unique<InstrumentSession>(options, CurrentContext().makeSession(options));
    if (adapter->session->OpenPort(port) != Outcome::Done) return;
    PrintError("also serving " + Bytes(port));
    Adapter* started = adapter.get();
    uclTzif& link = started->session->Link();
    started->running = link.Start(RunStation(link, started->station), [started](bool noneFailed) {
      started->running = false;
      started->noneFailed = noneFailed;
    });
    adapters_.push_back(std::move(adapter));
  }
  bool Running() const {
    for (const auto& adapter : adapters_) {
      if (adapter->running) return true;
    }
    return false;
  }
  void Cancel() {
    for (const auto& adapter : adapters_) adapter->session->Link().SetCancel(true);
  }

 private:
  struct Adapter {
    Adapter(StationRun& run, const QString& name) : port(name), station(run, Bytes(name)) {}
    QString port;
    StationPort station;
    std::unique_ptr<InstrumentSession> session;  // after the station: its run's frame goes first
    bool running = false;
    bool noneFailed = true;
  };
  StationRun& run_;
  LinkOptions options_;
  std::vector<std::unique_ptr<Adapter>> adapters_;
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
    parser.addOption({kAllAdapters, QStringLiteral("Serve every infrared adapter plugged in, also those "
                                                   "plugged in during the run.")});
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
    if (const std::optional<int> status = ChoosePorts(parser)) return *status;
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
    const bool several = allAdapters_ || !morePorts_.isEmpty();
    StationPort first(run, several ? Bytes(Options().port) : std::string());
    MoreAdapters more(run, Options());
    for (const QString& port : morePorts_) more.Add(port);
    QTimer search;
    QObject::connect(&search, &QTimer::timeout, [&more, this] {
      for (const QString& port : AllAdapterPorts()) {
        if (port != Options().port && !more.Has(port)) more.Add(port);
      }
    });
    if (allAdapters_) search.start(kAdapterSearchMs);
    Outcome ended = session.Run(RunStation(session.Link(), first), "Station");
    if (ended != Outcome::Interrupted && more.Running()) {
      ended = session.Run(WaitForOtherPorts(session.Link(), [&more] { return more.Running(); }), "Station");
    }
    search.stop();
    if (ended == Outcome::Interrupted) {
      run.RequestStop();
      more.Cancel();
    }
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
  // --port given more than once, or --all-adapters: the first port is the
  // session's, the others go to `morePorts_`.
  std::optional<int> ChoosePorts(const QCommandLineParser& parser) {
    QStringList ports = parser.values(kPort);
    ports.removeDuplicates();
    allAdapters_ = parser.isSet(kAllAdapters);
    if (allAdapters_) {
      if (!ports.isEmpty()) return Usage(QStringLiteral("--all-adapters and --port exclude each other"));
      ports = AllAdapterPorts();
      if (ports.isEmpty()) {
        PrintError("no infrared adapter found; give --port DEVICE");
        return kExitFailure;
      }
    }
    if (ports.size() > 1 || allAdapters_) {
      SetPort(ports.front());
      morePorts_ = ports.mid(1);
    }
    return std::nullopt;
  }

  SystemClock clock_;
  QStringList morePorts_;
  bool allAdapters_ = false;
  StationPlan plan_;
  std::string reportPath_;
  bool reportGiven_ = false;
};

}  // namespace

KV_DEFINE_COMMAND(StationCommand, .name = "station",
                  .arguments = "--apply FILE.kvd [--port DEVICE]... [--all-adapters] [--no-verify] "
                               "[--no-clock] [--no-power-off] [--report OUT.csv] [--count N]",
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
                             "when any instrument failed, 2 for a file that cannot be used.\n"
                             "Several adapters: --port more than once, or --all-adapters (every\n"
                             "adapter, and those plugged in during the run). Each runs its own cycle;\n"
                             "a failure on one stops no other. They share the list of instruments\n"
                             "done, the report (with a port column) and the history.",
                  .group = CommandGroup::Instrument, .positionalArguments = 0)

}  // namespace kv::cli
