// frmMain: the File menu's report and history, and loading a history
// snapshot into the grids.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>

#include "app/app_messages.h"
#include "app/file_identity.h"
#include "app/frm_main.h"
#include "app/history_window.h"
#include "app/info_pane.h"
#include "common/messages.h"
#include "qtedge/latin1.h"
#include "history/history_event.h"
#include "report/calibration_events.h"
#include "report/history_source.h"
#include "report/report_content.h"
#include "report/report_pdf.h"

namespace kv {

void frmMain::BuildFileMenu() {
  QMenu* file = menuBar()->findChild<QMenu*>(QStringLiteral("mnuFile"));
  if (file == nullptr) {
    file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
  }
  QAction* report = file->addAction(tr("&Report..."), this, [this] { mnuReport_Click(); });
  report->setObjectName(QStringLiteral("mnuReport"));
  QAction* history = file->addAction(tr("&History..."), this, [this] { mnuHistory_Click(); });
  history->setObjectName(QStringLiteral("mnuHistory"));
  // The menu bar's own button for menus that do not fit, named for screen readers.
  if (auto* more = menuBar()->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"))) {
    more->setAccessibleName(tr("More menus"));
  }
}

void frmMain::mnuReport_Click() {
  if (Busy()) return;
  // The report shows what the grids show, edits included; after Power OFF
  // cleared them, the instrument as last read.
  StoreGrids();
  const clsInstrument& record =
      report::WhyNoInstrument(editInstrument_).empty() || !beforePowerOff_ ? editInstrument_ : *beforePowerOff_;
  const std::string why = report::WhyNoInstrument(record);
  if (!why.empty()) {
    services_.dialogs->Critical(windowTitle(), ToQString("No report: " + why + "."));
    return;
  }
  const QString name = services_.dialogs->SaveFile(QStringLiteral("PDF (*.pdf);;All files (*.*)"));
  if (name.isEmpty()) return;
  report::ReportSources sources;
  sources.defaults = fleet::CalibrationDefaults::Load(DataFolder().string());
  // Calibrations recorded since (a zero, a span) are later than what the record holds.
  std::string error;
  if (history::Store* store = HistoryStore(&error)) {
    const std::vector<history::Event> events = store->Events(history::SerialText(record.SerialNo()), &error);
    if (error.empty()) sources.historyCalibrations = report::CalibrationsInHistory(events);
  }
  const report::PdfWriteResult written = report::WriteReportPdf(
      report::BuildReportContent(record, services_.clock->Now(), sources), report::LocalePaperSize(),
      ToLatin1(name));
  if (!written.ok) {
    services_.dialogs->Critical(windowTitle(), ToQString(written.error));
    return;
  }
  statusBar()->showMessage(tr("Report written: %1").arg(name));
}

void frmMain::mnuHistory_Click() {
  std::string error;
  history::Store* store = HistoryStore(&error);
  if (store == nullptr) {
    const std::string why =
        error.empty() ? "The instrument history is switched off ([History] Enabled in KVMaintenance.ini)."
                      : error;
    services_.dialogs->Show(Dialogs::Icon::Information, windowTitle(), ToQString(why));
    return;
  }
  auto* window = new frmHistory(*store, *this, *services_.dialogs, this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}

bool frmMain::LoadRecordText(const std::string& content, const QString& source, const std::string& serial) {
  if (Busy()) return false;
  // The path field no longer names what the grids show; leaving it would
  // load that file again when the field loses focus.
  txtPath->clear();
  loadedPath_ = source;
  lastLoad_ = ReadMaintenanceText(editInstrument_, content);
  if (!serial.empty()) editInstrument_.StoreSerialNo(serial);
  ShowFileIdentity(*statusBar(), serial.empty() ? QString()
                                                : ToQString("File: " + std::string(report::kInstrumentModel) +
                                                            " S/N " + serial + ", ") + source);
  fileLoaded_ = true;
  SetButtons(true, 2);
  FillAllGrids();
  if (!lastLoad_.complete) {
    AppendMessage(msg::kFileReadInPart, info_colour::kFailure,
                  {ToLatin1(source), std::to_string(lastLoad_.stoppedAtLine), lastLoad_.reason});
  }
  return true;
}

}  // namespace kv
