// frmMain: the Service menu's hook. The menu belongs to the ServiceController;
// the window lends it what it needs through ServiceWindow.
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>
#include <utility>

#include "app/frm_live.h"
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "app/service_controller.h"
#include "app/transaction_runner.h"
#include "fleet/calibration_due.h"
#include "model/instrument_settings.h"
#include "qtedge/latin1.h"

namespace kv {

void frmMain::BuildServiceMenu() {
  // The menu bar's own overflow button is named for screen readers too.
  if (auto* more = menuBar()->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"))) {
    more->setAccessibleName(tr("More menus"));
  }
  // Defined here, it may use what the window keeps to itself.
  class Lent final : public ServiceWindow {
   public:
    explicit Lent(frmMain& main) : main_(main) {}
    uclTzif& Link() override { return main_.uclTZ7100_; }
    Dialogs& Prompts() override { return *main_.services_.dialogs; }
    const Clock& Time() override { return *main_.services_.clock; }
    bool Idle() override { return !main_.Busy() && !main_.uclTZ7100_.TaskRunning() && main_.buttons_.get; }
    bool RunTransaction(Transaction transaction, std::function<void(bool)> done) override {
      // It ends from the event loop, not from inside the link's reception.
      return main_.uclTZ7100_.Start(std::move(transaction), [this, done = std::move(done)](bool ok) {
        QTimer::singleShot(0, &main_, [done, ok] { done(ok); });
      });
    }
    void BeginService(const QString& caption, bool longRunning) override {
      if (longRunning) {
        main_.BeginTransaction(caption, caption + QStringLiteral(" ..."));
      } else {
        main_.SetBusy(true);
      }
    }
    void ShowServiceProgress(std::uint64_t done, std::uint64_t total, const QString& message) override {
      main_.Progress(static_cast<int>(done), static_cast<int>(total));
      main_.runner_->ShowMessage(message);
    }
    void EndService() override { main_.EndTransaction(); }
    void ServiceFinished(bool ok) override { emit main_.TransactionFinished(ok); }
    void Say(const QString& text, bool failure) override {
      main_.AppendInfo(text, failure ? info_colour::kFailure : info_colour::kProgress);
    }
    ops::HistorySink& History() override { return main_.Sink(); }
    void ReportRecording(const ops::OperationOutcome& outcome) override { main_.ReportRecording(outcome); }
    void RecordDump(bool ok, const std::string& detail, const std::string& file) override {
      main_.RecordServiceHistory(history::kOpDump, ok, detail, file);
    }
    clsInstrument SettingsShown() override {
      main_.StoreGrids();
      clsInstrument record;
      CopyInstrument(record, main_.editInstrument_, false);
      return record;
    }
    std::string FileShown() override { return main_.fileLoaded_ ? ToLatin1(main_.loadedPath_) : std::string(); }
    bool SaveAsDefault() override { return main_.chkFactorySave->isChecked(); }
    void KeepCalibrationHistory(const clsInstrument& record) override {
      fleet::CopyCalibrationHistory(main_.curInstrument_, record);
      fleet::CopyCalibrationHistory(main_.editInstrument_, record);
    }
    void OpenLiveReadings() override { main_.OpenLiveReadings(); }

   private:
    frmMain& main_;
  };
  QMenu* menu = menuBar()->addMenu(tr("&Service"));
  menu->setObjectName(QStringLiteral("mnuService"));
  service_ = new ServiceController(std::make_unique<Lent>(*this), this);
  service_->BuildMenu(*menu);
  serviceActions_ = service_->Actions();
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
