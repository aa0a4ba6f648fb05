// frmMain: the Service menu. Each entry asks what it needs, runs its
// transactions one after another and reports its outcome in one place,
// ReportServiceOutcome.
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>
#include <utility>

#include "app/frm_live.h"
#include "app/frm_main.h"
#include "fleet/calibration_due.h"
#include "app/info_pane.h"
#include "app/service_menu.h"
#include "app/service_results.h"
#include "app/transaction_runner.h"
#include "common/datetime.h"
#include "link/dump_files.h"
#include "model/instrument_settings.h"
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

void frmMain::BuildServiceMenu() {
  // The menu bar's own overflow button is named for screen readers too.
  if (auto* more = menuBar()->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"))) {
    more->setAccessibleName(tr("More menus"));
  }
  QMenu* menu = menuBar()->addMenu(tr("&Service"));
  menu->setObjectName(QStringLiteral("mnuService"));
  for (const ServiceEntry& entry : ServiceEntries()) {
    if (entry.operation == ServiceOperation::DumpFlash) menu->addSeparator();
    QAction* action = menu->addAction(QString::fromLatin1(entry.caption));
    action->setObjectName(QString::fromLatin1(entry.objectName));
    const ServiceOperation operation = entry.operation;
    connect(action, &QAction::triggered, this, [this, operation] { RunService(operation); });
    serviceActions_.push_back(action);
  }
  menu->addSeparator();
  QAction* live = menu->addAction(tr("Live Readings..."));
  live->setObjectName(QStringLiteral("mnuServiceLive"));
  connect(live, &QAction::triggered, this, &frmMain::OpenLiveReadings);
  serviceActions_.push_back(live);
}

void frmMain::RunService(ServiceOperation operation) {
  if (Busy() || uclTZ7100_.TaskRunning() || !buttons_.get) return;
  auto run = std::make_unique<ServiceRun>(ServiceEntryOf(operation));
  if (!AskServiceInputs(*run)) return;
  const ServiceEntry& entry = run->entry;
  if (*entry.warning != '\0' &&
      !services_.dialogs->Ask(Dialogs::Icon::Question, Caption(entry),
                              QString::fromLatin1(entry.warning))) {
    return;
  }
  if (operation == ServiceOperation::Initialise) {
    StoreGrids();
    CopyInstrument(run->record, editInstrument_, false);
  }
  DumpOptions dumpOptions;
  dumpOptions.onProgress = [this](std::uint64_t received, std::uint64_t expected) {
    Progress(static_cast<int>(received), static_cast<int>(expected));
    if (!serviceRun_) return;
    serviceRun_->dumpReceived = received;
    serviceRun_->dumpExpected = expected;
    runner_->ShowMessage(DumpProgressText(received, expected,
                                          SecondsBetween(runner_->Started(), services_.clock->Now())));
  };
  dumpOptions.onFileError = [this](const std::string& reason) {
    if (serviceRun_) serviceRun_->dumpFileError = reason;
  };
  dumpOptions.onDrained = [this](const DrainResult& drained) {
    if (serviceRun_) serviceRun_->drained = drained;
  };
  AddServiceSteps(uclTZ7100_, *run, services_.clock->Now(), chkFactorySave->isChecked(),
                  dumpOptions);
  serviceRun_ = std::move(run);
  uclTZ7100_.SetCancel(false);
  if (entry.longRunning) {
    BeginTransaction(Caption(entry), Caption(entry) + QStringLiteral(" ..."));
  } else {
    SetBusy(true);
  }
  AppendInfo(Caption(entry) + QStringLiteral(" started."), info_colour::kProgress);
  RunNextServiceStep();
}

bool frmMain::AskServiceInputs(ServiceRun& run) {
  Dialogs& dialogs = *services_.dialogs;
  const QString title = Caption(run.entry);
  const auto refuse = [&](const QString& why) {
    dialogs.Critical(title, why);
    return false;
  };
  QString suggested;
  QString filter = ImageFilter();
  switch (run.entry.operation) {
    case ServiceOperation::LoadDefaults: {
      const QString text = dialogs.AskText(title, tr("Kind of default settings (0-255):"),
                                           QStringLiteral("0"));
      if (text.isEmpty()) return false;
      const std::optional<int> kind = WholeNumber(text, 0, kLargestDefaultsKind);
      if (!kind) return refuse(tr("The kind is a whole number from 0 to 255."));
      run.defaultsKind = *kind;
      return true;
    }
    case ServiceOperation::DumpFlash:
      suggested = QStringLiteral("Flash.bin");
      break;
    case ServiceOperation::DumpFram:
      suggested = QStringLiteral("FRAM.bin");
      break;
    case ServiceOperation::DumpListing: {
      const QString code = dialogs.AskText(title, tr("Memory code (two capital letters):"),
                                           QStringLiteral("ES"));
      if (code.isEmpty()) return false;
      if (!IsListingCode(code)) return refuse(tr("A memory code is two capital letters (\"ES\")."));
      run.listingCode = ToLatin1(code);
      suggested = code + QStringLiteral(".txt");
      filter = ListingFilter();
      break;
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
      suggested = QStringLiteral("Module%1.bin").arg(*module);
      break;
    }
    default:
      return true;
  }
  const QString path = dialogs.SaveFile(filter, suggested);
  if (path.isEmpty()) return false;
  run.path = ToFsPath(path).string();
  // A file that cannot be written is said before the instrument is asked.
  // (a listing's size is known only at its end: only its folder is checked)
  const std::uint64_t room = run.entry.operation == ServiceOperation::DumpFlash  ? kFlashImageSize
                             : run.entry.operation == ServiceOperation::DumpFram ? kFramImageSize
                                                                                 : run.moduleSize;
  if (const std::string problem = DumpFileProblem(run.path, room); !problem.empty()) {
    return refuse(ToQString(problem));
  }
  return true;
}

void frmMain::RunNextServiceStep() {
  ServiceRun& run = *serviceRun_;
  if (run.nextStep == run.steps.size()) {
    ServiceFinished(true);
    return;
  }
  Transaction step = run.steps[run.nextStep++]();
  // Each step ends from the event loop, not from inside the link's reception.
  const bool started = uclTZ7100_.Start(std::move(step), [this](bool ok) {
    QTimer::singleShot(0, this, [this, ok] {
      if (ok && !uclTZ7100_.Cancel()) {
        RunNextServiceStep();
      } else {
        ServiceFinished(false);
      }
    });
  });
  if (!started) ServiceFinished(false);
}

void frmMain::ServiceFinished(bool ok) {
  const std::unique_ptr<ServiceRun> run = std::move(serviceRun_);
  EndTransaction();
  ReportServiceOutcome(*run, ok);
  emit TransactionFinished(ok);
}

// The one place where the outcome of each service operation is known.
void frmMain::ReportServiceOutcome(const ServiceRun& run, bool ok) {
  const QString caption = Caption(run.entry);
  if (!ok) {
    const QString how = uclTZ7100_.Cancel() ? QStringLiteral(" canceled.") : QStringLiteral(" failed.");
    AppendInfo(caption + how, info_colour::kFailure);
    for (const QString& line : UnfinishedDumpLines(run)) AppendInfo(line, info_colour::kFailure);
    RecordServiceHistory(HistoryOperationOf(run.entry.operation), false, ToLatin1(caption), run.path);
    return;
  }
  RecordServiceHistory(HistoryOperationOf(run.entry.operation), true, ToLatin1(caption), run.path);
  QString detail;
  switch (run.entry.operation) {
    case ServiceOperation::SetClock:
      detail = QStringLiteral(" (") + ToQString(FormatGeneralDate(services_.clock->Now())) +
               QStringLiteral(")");
      break;
    case ServiceOperation::ZeroCalibration: {
      const ResultTable table = CalibrationTable(run.record, run.results, ZeroStatus);
      services_.dialogs->ShowTable(caption, table.headers, table.rows);
      break;
    }
    case ServiceOperation::SpanCalibration: {
      const ResultTable table = CalibrationTable(run.record, run.results, SpanStatus);
      services_.dialogs->ShowTable(caption, table.headers, table.rows);
      break;
    }
    case ServiceOperation::CalibrationHistory: {
      // Kept for the report, which names each channel's latest calibration.
      fleet::CopyCalibrationHistory(curInstrument_, run.record);
      fleet::CopyCalibrationHistory(editInstrument_, run.record);
      const ResultTable table = HistoryTable(run.record);
      services_.dialogs->ShowTable(caption, table.headers, table.rows);
      break;
    }
    case ServiceOperation::LoadDefaults:
      detail = QStringLiteral(" (kind %1)").arg(run.defaultsKind);
      break;
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
  AppendInfo(caption + QStringLiteral(" finished") + detail + QStringLiteral("."),
             info_colour::kProgress);
}

void frmMain::OpenLiveReadings() {
  if (live_ == nullptr) {
    live_ = new frmLive(uclTZ7100_, this);
    connect(live_, &frmLive::PollingChanged, this, [this](bool polling) {
      SetBusy(polling);
      if (!polling && std::exchange(closeAfterLive_, false)) {
        QTimer::singleShot(0, this, &QWidget::close);
      }
    });
  }
  live_->show();
  live_->raise();
  if (live_->Polling() || (!Busy() && !uclTZ7100_.TaskRunning() && buttons_.get)) live_->Start();
}

}  // namespace kv
