#include "app/service_controller.h"

#include <QAction>
#include <QMenu>
#include <optional>

#include "app/dialogs.h"
#include "app/service_results.h"
#include "common/clock.h"
#include "link/dump_files.h"
#include "link/link.h"
#include "qtedge/data_folder.h"
#include "qtedge/latin1.h"

namespace kv {
namespace {

constexpr int kLargestDefaultsKind = 255;
constexpr std::uint64_t kLargestModuleSize = 16 * 1024 * 1024;

QString Caption(const ServiceEntry& entry) {
  // The menu text without its "..." (the file is asked for).
  QString caption = QString::fromLatin1(entry.caption);
  if (caption.endsWith(QStringLiteral("..."))) caption.chop(3);
  return caption;
}

QString ImageFilter() { return QStringLiteral("Memory image (*.bin);;All files (*.*)"); }
QString ListingFilter() { return QStringLiteral("Listing (*.txt);;All files (*.*)"); }

std::optional<int> WholeNumber(const QString& text, int lowest, int highest) {
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok || value < lowest || value > highest) return std::nullopt;
  return value;
}

bool IsListingCode(const QString& code) {
  return code.size() == 2 && code[0] >= QLatin1Char('A') && code[0] <= QLatin1Char('Z') &&
         code[1] >= QLatin1Char('A') && code[1] <= QLatin1Char('Z');
}

// "120 of 4096 KiB, 0:00:42 left" while a dump runs.
QString DumpProgressText(std::uint64_t received, std::uint64_t expected, long long seconds) {
  QString text = QStringLiteral("%1 of %2 KiB").arg(received / 1024).arg(expected / 1024);
  if (seconds > 0 && received > 0 && received < expected) {
    const double rate = static_cast<double>(received) / static_cast<double>(seconds);
    const auto left = static_cast<long long>(static_cast<double>(expected - received) / rate);
    text += QStringLiteral(", %1 left").arg(ToQString(FormatElapsed(left)));
  }
  return text;
}

// A dump that did not finish: why its file failed, how much of its file is
// real, and whether the instrument is still sending.
QStringList UnfinishedDumpLines(const ServiceRun& run) {
  QStringList lines;
  if (!run.dumpFileError.empty()) lines << ToQString(run.dumpFileError);
  const bool image = run.entry.operation != ServiceOperation::DumpListing;
  if (image && run.dumpExpected > 0) {
    lines << QStringLiteral("%1 holds the first %2 of %3 bytes; the rest is 0xFF, not the instrument's.")
                 .arg(ToQString(run.path))
                 .arg(run.dumpReceived)
                 .arg(run.dumpExpected);
  }
  if (run.drained && !run.drained->silent) {
    lines << QStringLiteral("The instrument is still sending its memory: switch it off and on "
                            "before the next connection.");
  }
  return lines;
}

}  // namespace

ServiceController::ServiceController(std::unique_ptr<ServiceWindow> window, QObject* parent)
    : QObject(parent), window_(std::move(window)) {}

ServiceController::~ServiceController() = default;

void ServiceController::BuildMenu(QMenu& menu) {
  for (const ServiceEntry& entry : ServiceEntries()) {
    if (entry.operation == ServiceOperation::DumpFlash) menu.addSeparator();
    QAction* action = menu.addAction(QString::fromLatin1(entry.caption));
    action->setObjectName(QString::fromLatin1(entry.objectName));
    const ServiceOperation operation = entry.operation;
    connect(action, &QAction::triggered, this, [this, operation] { Run(operation); });
    actions_.push_back(action);
  }
  menu.addSeparator();
  QAction* live = menu.addAction(tr("Live Readings..."));
  live->setObjectName(QStringLiteral("mnuServiceLive"));
  connect(live, &QAction::triggered, this, [this] { window_->OpenLiveReadings(); });
  actions_.push_back(live);
}

void ServiceController::Run(ServiceOperation operation) {
  if (run_ || !window_->Idle()) return;
  auto run = std::make_unique<ServiceRun>(ServiceEntryOf(operation));
  if (!AskInputs(*run)) return;
  const ServiceEntry& entry = run->entry;
  if (*entry.warning != '\0' &&
      !window_->Prompts().Ask(Dialogs::Icon::Question, Caption(entry), QString::fromLatin1(entry.warning))) {
    return;
  }
  if (operation == ServiceOperation::Initialise) {
    run->initialise.record = window_->SettingsShown();
    run->initialise.saveAsDefault = window_->SaveAsDefault();
    run->initialise.file = window_->FileShown();
  }
  uclTzif& link = window_->Link();
  Transaction transaction = ServiceTransaction(link, window_->History(), *run, DumpProgress());
  run_ = std::move(run);
  started_ = window_->Time().Now();
  link.SetCancel(false);
  window_->BeginService(Caption(entry), entry.longRunning);
  window_->Say(Caption(entry) + QStringLiteral(" started."), false);
  const bool started = window_->RunTransaction(std::move(transaction), [this](bool ok) { Finished(ok); });
  if (!started) Finished(false);
}

DumpOptions ServiceController::DumpProgress() {
  DumpOptions options;
  options.onProgress = [this](std::uint64_t received, std::uint64_t expected) {
    if (!run_) return;
    run_->dumpReceived = received;
    run_->dumpExpected = expected;
    const long long seconds = SecondsBetween(started_, window_->Time().Now());
    window_->ShowServiceProgress(received, expected, DumpProgressText(received, expected, seconds));
  };
  options.onFileError = [this](const std::string& reason) {
    if (run_) run_->dumpFileError = reason;
  };
  options.onDrained = [this](const DrainResult& drained) {
    if (run_) run_->drained = drained;
  };
  return options;
}

bool ServiceController::AskInputs(ServiceRun& run) {
  Dialogs& dialogs = window_->Prompts();
  const QString title = Caption(run.entry);
  const auto refuse = [&](const QString& why) {
    dialogs.Critical(title, why);
    return false;
  };
  switch (run.entry.operation) {
    case ServiceOperation::LoadDefaults: {
      const QString text = dialogs.AskText(title, tr("Kind of default settings (0-255):"), QStringLiteral("0"));
      if (text.isEmpty()) return false;
      const std::optional<int> kind = WholeNumber(text, 0, kLargestDefaultsKind);
      if (!kind) return refuse(tr("The kind is a whole number from 0 to 255."));
      run.defaultsKind = *kind;
      return true;
    }
    case ServiceOperation::DumpFlash:
      return AskDumpFile(run, ImageFilter(), QStringLiteral("Flash.bin"));
    case ServiceOperation::DumpFram:
      return AskDumpFile(run, ImageFilter(), QStringLiteral("FRAM.bin"));
    case ServiceOperation::DumpListing: {
      const QString code = dialogs.AskText(title, tr("Memory code (two capital letters):"), QStringLiteral("ES"));
      if (code.isEmpty()) return false;
      if (!IsListingCode(code)) return refuse(tr("A memory code is two capital letters (\"ES\")."));
      run.listingCode = ToLatin1(code);
      return AskDumpFile(run, ListingFilter(), code + QStringLiteral(".txt"));
    }
    case ServiceOperation::DumpModule: {
      const QString index = dialogs.AskText(title, tr("Module index (0-255):"), QStringLiteral("0"));
      if (index.isEmpty()) return false;
      const std::optional<int> module = WholeNumber(index, 0, 255);
      if (!module) return refuse(tr("The module index is a whole number from 0 to 255."));
      const QString text = dialogs.AskText(title, tr("Transfer text of the module:"), QString());
      if (text.isEmpty()) return false;
      const QString size = dialogs.AskText(title, tr("Image size in bytes:"), QStringLiteral("4096"));
      if (size.isEmpty()) return false;
      bool sizeOk = false;
      const std::uint64_t bytes = size.toULongLong(&sizeOk);
      if (!sizeOk || bytes == 0 || bytes > kLargestModuleSize) {
        return refuse(tr("The image size is 1 to %1 bytes.").arg(kLargestModuleSize));
      }
      run.moduleIndex = *module;
      run.moduleText = ToLatin1(text);
      run.moduleSize = bytes;
      return AskDumpFile(run, ImageFilter(), QStringLiteral("Module%1.bin").arg(*module));
    }
    default:
      return true;
  }
}

bool ServiceController::AskDumpFile(ServiceRun& run, const QString& filter, const QString& suggested) {
  Dialogs& dialogs = window_->Prompts();
  const QString path = dialogs.SaveFile(filter, suggested);
  if (path.isEmpty()) return false;
  run.path = ToFsPath(path).string();
  // A file that cannot be written is said before the instrument is asked.
  // (a listing's size is known only at its end: only its folder is checked)
  const std::uint64_t room = run.entry.operation == ServiceOperation::DumpFlash  ? kFlashImageSize
                             : run.entry.operation == ServiceOperation::DumpFram ? kFramImageSize
                                                                                 : run.moduleSize;
  if (const std::string problem = DumpFileProblem(run.path, room); !problem.empty()) {
    dialogs.Critical(Caption(run.entry), ToQString(problem));
    return false;
  }
  return true;
}

void ServiceController::Finished(bool ok) {
  const std::unique_ptr<ServiceRun> run = std::move(run_);
  if (!run) return;
  ok = ok && !window_->Link().Cancel();
  window_->EndService();
  Report(*run, ok);
  window_->ServiceFinished(ok);
}

// The one place where the outcome of each service entry is shown.
void ServiceController::Report(const ServiceRun& run, bool ok) {
  const QString caption = Caption(run.entry);
  const bool recorded = RecordsThroughOperations(run.entry.operation);
  if (recorded) {
    window_->ReportRecording(run.outcome);
  } else {
    window_->RecordDump(ok, ToLatin1(caption), run.path);
  }
  if (!ok) {
    const QString how = window_->Link().Cancel() ? QStringLiteral(" canceled.") : QStringLiteral(" failed.");
    window_->Say(caption + how, true);
    for (const QString& line : UnfinishedDumpLines(run)) window_->Say(line, true);
    return;
  }
  QString detail;
  Dialogs& dialogs = window_->Prompts();
  switch (run.entry.operation) {
    case ServiceOperation::SetClock:
    case ServiceOperation::LoadDefaults:
      detail = QStringLiteral(" (") + ToQString(run.outcome.detail) + QStringLiteral(")");
      break;
    case ServiceOperation::ZeroCalibration:
    case ServiceOperation::SpanCalibration: {
      const ResultTable table = CalibrationTable(run.calibration);
      dialogs.ShowTable(caption, table.headers, table.rows);
      break;
    }
    case ServiceOperation::CalibrationHistory: {
      window_->KeepCalibrationHistory(run.calibrationHistory);
      const ResultTable table = HistoryTable(run.calibrationHistory);
      dialogs.ShowTable(caption, table.headers, table.rows);
      break;
    }
    case ServiceOperation::DumpFlash:
    case ServiceOperation::DumpFram:
    case ServiceOperation::DumpListing:
    case ServiceOperation::DumpModule:
      detail = QStringLiteral(": ") + ToQString(run.path);
      break;
    case ServiceOperation::ClearDataLogger:
    case ServiceOperation::FactorySettings:
    case ServiceOperation::PumpOn:
    case ServiceOperation::PumpOff:
    case ServiceOperation::Initialise:
      break;
  }
  window_->Say(caption + QStringLiteral(" finished") + detail + QStringLiteral("."), false);
}

}  // namespace kv
