#pragma once
// frmMain: the program's only main window, a shell. It owns the link to the
// instrument, the two records (CurInstrument, exchanged with the instrument;
// EditInstrument, behind the grids), the settings tabs (SettingsTabs, with
// every grid), the information pane and the TransactionRunner (busy state and
// progress dialog), and runs the four numbered actions.
//
// Nothing here blocks: a transaction is started on the link and its end
// arrives as a callback; meanwhile the action buttons and closing are
// disabled and the event loop keeps running.
#include <QColor>
#include <QLockFile>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/history_host.h"
#include "common/clock.h"
#include "files/configuration.h"
#include "files/csv_tables.h"
#include "files/kvd_reader.h"
#include "history/history_store.h"
#include "link/link.h"
#include "link/link_listener.h"
#include "link/pending_changes.h"
#include "ops/operations.h"
#include "link/transactions.h"
#include "link/transport.h"
#include "model/instrument.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTimer;

namespace kv {

class InfoPane;
class InstrumentSearch;
class StationDialog;
class SettingsGrid;
class SettingsTabs;
class TransactionRunner;
class frmLive;
class frmUpload;
class ServiceController;

// What the window is given from outside: the data folder, the dialogs, the
// clock, the port and how to find the adapter.
struct frmMainServices {
  std::filesystem::path dataFolder;
  Dialogs* dialogs = nullptr;
  const Clock* clock = nullptr;
  // The port: the window attaches the link to it, and the tick polls its
  // modem lines.
  Transport* transport = nullptr;
  // Points the transport at the USB infrared adapter (or the port chosen);
  // false when there is none.
  std::function<bool()> locateAdapter;
  // The device the transport was last pointed at, as the pane names it.
  std::function<QString()> portName;
  // Every serial port of the machine, for the port chooser.
  std::function<QStringList()> listPorts;
  // The port the user chose; empty: search for the adapter again.
  std::function<void(const QString& device)> choosePort;
  // The read transaction of the Get action (GetInstrument unless a test
  // gives another).
  std::function<Transaction(uclTzif&, clsInstrument&)> readInstrument;
  // The 100 ms session tick (SessionTick); tests leave it off and tick
  // the link or the window themselves.
  bool runTicker = true;
  // Where operations are recorded instead of the data folder's history (tests).
  history::Recorder* recorder = nullptr;
};

class frmMain final : public QMainWindow, public HistoryHost, private LinkListener {
  Q_OBJECT

 public:
  // The serial settings of the USB adapter.
  static constexpr const char* kAdapterSettings = "921600,n,8,1";
  // Sensor type names by GasType code.
  static constexpr std::array<const char*, 8> kSensorTypeNames = {
      "CAT", "OXY", "TOX", "ESM", "IR", "PID", "TC", "OTHER"};

  explicit frmMain(frmMainServices services, QWidget* parent = nullptr);
  ~frmMain() override;
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  // ---- start-up ----------------------------------------------------------
  // Single instance, configuration and font, link settings, port, session
  // log, caption. False when another instance already runs (the user has been
  // told); the window must then not be shown.
  bool Form_Load();
  // Initialises once per activated flag: empty path, records, every grid.
  void Form_Activate();
  // Empties the information pane.
  void init();
  // Finds the adapter and opens the port; true when the adapter was found.
  bool SelectPort();
  // One session tick: the port's modem lines, the link, the search for an
  // instrument while none answers.
  void SessionTick();
  // "Connect now": opens the port again at once and probes.
  void ConnectNow();
  // SIGTERM, SIGINT: ends as a closed session would, without asking; a
  // running transaction is cancelled.
  void EndSession();

  // ---- actions -----------------------------------------------------------
  // enable true: Get and Power OFF, and from level 1 Load and Transmit too;
  // enable false: all four off whatever the level.
  void SetButtons(bool enable, int level);
  // cmdEnd is disabled while a power-off runs; closing is then refused.
  void SetEndButton(bool enabled);
  void cmdGet_Click();
  void cmdEnd_Click();
  // Select, Transmit, Store, Power OFF.
  void cmdLoad_Click();
  // Loads the file named in txtPath into EditInstrument.
  void txtPath_LostFocus();
  void cmdSend_Click();
  void cmdStore_Click();
  void cmdPowerOff_Click();
  // Read the instrument again after a Transmit and compare (kept in the
  // configuration file).
  bool VerifyAfterTransmit() const;
  void SetVerifyAfterTransmit(bool verify);

  // ---- information pane and grids ------------------------------------------
  void AppendInfo(const QString& text, const QColor& colour);
  void AppendMessage(int id, const QColor& colour, const std::vector<std::string>& args = {});
  // Every grid from EditInstrument, in the fixed order.
  void FillAllGrids();
  // Writes the grids' edits into EditInstrument: exactly the edited settings
  // take a change flag.
  void StoreGrids();
  // The grids show their edits as unedited from now on (after Transmit or Store).
  void ClearEditMarks();
  // Marks the PID and user-conversion cells the record check refuses (after
  // each accepted entry there), and takes its earlier marks away.
  void MarkRefusedTableCells();

  // ---- CSV tables (frm_main_tables.cpp) ---------------------------------------
  // The export and import buttons: cmdStationExport ... cmdConvImport.
  void ExportTable(csv::CsvTable table);
  void ImportTable(csv::CsvTable table);

  // ---- Service menu (frm_main_service.cpp, ServiceController) -----------------
  // The live readings window; polling starts when the link is free.
  void OpenLiveReadings();
  frmLive* LiveWindow() const { return live_; }

  // ---- report and history (frm_main_report.cpp) -------------------------------
  // Writes the report of the record in the grids to a PDF the user names.
  void mnuReport_Click();
  // Opens the history window on the program's history store.
  void mnuHistory_Click();
  // Loads a maintenance data file's content (a history snapshot) into
  // EditInstrument and the grids, as Select loads a file; false while busy.
  // `serial` names the instrument the text is a snapshot of (a file keeps none).
  bool LoadRecordText(const std::string& content, const QString& source,
                      const std::string& serial = {}) override;
  // Names the instrument of the file just selected where the history knows
  // its content (frm_main_history.cpp), in the status bar and for the report.
  void IdentifyLoadedFile(const QString& path);
  DateTime Now() const override;

  // ---- state ---------------------------------------------------------------
  uclTzif& Link() { return uclTZ7100_; }
  clsInstrument& CurInstrument() { return curInstrument_; }
  clsInstrument& EditInstrument() { return editInstrument_; }
  bool Activated() const { return activated_; }
  // What the pane said the window waits for; empty while an instrument answers.
  const QString& WaitingFor() const { return waitingFor_; }
  // A transaction runs: actions and closing are refused.
  bool Busy() const;
  frmUpload* UploadDialog() const;
  const std::filesystem::path& DataFolder() const override { return services_.dataFolder; }
  std::filesystem::path BackupFolder() const;
  const FontSettings& ConfiguredFont() const { return configuredFont_; }
  // Station mode: its dialog, made on first use and shown.
  StationDialog* OpenStation();
  // The status bar's word on history events waiting for the shared server
  // (empty when none wait); asked after each operation and on a timer.
  void RefreshPendingHistory();

 signals:
  // A transaction has ended and its result is shown.
  void TransactionFinished(bool ok);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // LinkListener
  void OnConnect() override;
  void ConnectRetry(int count) override;
  void InstMessage(const std::string& text) override;
  void InterMessage(const std::string& text) override;
  void AlarmMessage(const std::string& text) override;
  void DumpMessage(const std::string& text) override;
  void LinkLost() override;
  void Progress(int done, int total) override;

  void BuildWindow();
  void BuildFileMenu();
  QWidget* BuildActionPanel();

  bool AcquireSingleInstance();
  // Applies the font; returns the configuration, whose damage (if any) is
  // told once the pane is ready.
  Configuration ApplyConfiguration();
  void ReportConfigurationDamage(const Configuration& configuration);
  void OpenSessionLog();

  // The runner's: shows the progress dialog for a transaction and locks the actions.
  void BeginTransaction(int captionId, int messageId);
  void BeginTransaction(const QString& caption, const QString& message);
  void EndTransaction();
  void SetBusy(bool busy);
  void ApplyButtonStates();
  void GetFinished(bool ok);
  // Transmit: the check of the tables' refused cells, the review, the write
  // and its check.
  bool TablesValid();
  // Whether every flagged setting of `record` is one its editor accepts;
  // if not, the pane and a message box list each problem under `refusalId`.
  bool RecordWritable(const clsInstrument& record, int refusalId);
  // Transmit once the connected instrument is known to be the one read.
  void Transmit();
  // After the link was lost: reads the serial number of the instrument now
  // connected and transmits only to the one whose settings the grids hold.
  void CheckConnectedInstrument();
  void RefuseTransmit(const QString& reason);
  void SendFinished();
  void ReportAcknowledged();
  void ReportVerification();
  void PowerOffFinished();
  // Edits in the grids (or a loaded file) not yet transmitted.
  bool HasUnsentEdits();
  // The question before closing: "EXIT ?", after the count of edits not sent.
  QString ExitQuestion();
  // The port chooser and Connect now (frm_main_search.cpp).
  QWidget* BuildSearchRow(QWidget* parent);
  void RefreshPortChoices();
  void PortChosen(int index);
  // The search looks again: the adapter, the port, and the pane told once.
  void LookForInstrument();
  void SayWaiting(const QString& text);
  // The serial number and model read last, kept after the instrument went.
  void ShowIdentity();
  // Whether a Get may go ahead: asks before unsent edits are discarded.
  bool ConfirmDiscardEdits();
  // The link was lost: say so and mark the grids as no longer live.
  void ReportLinkLost();
  // Where the backup of a Get went: the status bar and the session log (the
  // pane keeps the read's own two lines together).
  void ReportBackup(const std::string& path);
  // After a Get: the grids show the instrument, and Transmit is usable.
  void ShowReadSettingsLive();
  // Says where the backup of a Get went, or why it was not kept.
  void ReportBackupOutcome(const ops::OperationOutcome& outcome);
  void AddLog(int messageId, const std::vector<std::string>& args = {});
  // Service menu (frm_main_service.cpp).
  void BuildServiceMenu();
  // Where the operations record (frm_main_history.cpp): the sink with the
  // program's recorder, the store opened on first use.
  ops::HistorySink& Sink();
  // A failure to record an operation shows in the pane.
  void ReportRecording(const ops::OperationOutcome& outcome);
  // Records a service operation under the identity of the latest Get.
  void RecordServiceHistory(const char* operation, bool ok, std::string detail, std::string file);
  // The history store, opened on first use; null when it is switched off
  // (`error` empty) or cannot be made (`error` says why).
  history::Store* HistoryStore(std::string* error);

  frmMainServices services_;
  std::unique_ptr<history::Store> history_;
  std::string historyError_;  // why the store cannot be used; "" when it can or is off
  ops::HistorySink historySink_{nullptr, {}};
  ops::OperationOutcome outcome_;  // of the running or latest operation
  uclTzif uclTZ7100_;
  clsInstrument curInstrument_;
  clsInstrument editInstrument_;
  clsInstrument fileAsLoaded_;   // the chosen file as read, before any edit
  bool instrumentRead_ = false;  // curInstrument_ holds what a Get read
  // The instrument as last read before Power OFF cleared the grids: what a
  // report made then names.
  std::optional<clsInstrument> beforePowerOff_;
  std::unique_ptr<QLockFile> instanceLock_;
  QTimer* ticker_ = nullptr;
  std::unique_ptr<InstrumentSearch> search_;
  QString waitingFor_;     // the pane's latest "Waiting for ..." line
  std::string identity_;   // "KORVIN S/N ..." of the latest Get
  bool identityLive_ = false;  // that instrument is still the one connected
  bool recordShown_ = false;  // the grids hold a record read or loaded: Transmit may send
  bool sessionEnding_ = false;
  // What the instrument connected after a lost link says it is.
  clsInstrument connectedIdentity_;
  QTimer* pendingTimer_ = nullptr;
  FontSettings configuredFont_;
  QString designCaption_;

  bool activated_ = false;
  bool loading_ = false;
  // The path last loaded, and whether that file was read only in part.
  QString loadedPath_;
  KvdLoadResult lastLoad_;
  bool fileLoaded_ = false;
  // The running Transmit.
  ops::TransmitRequest transmit_;
  ServiceController* service_ = nullptr;  // a child: the Service menu
  std::vector<QAction*> serviceActions_;
  frmLive* live_ = nullptr;
  bool closeAfterLive_ = false;  // the window was closed while live readings polled

  // The enabled state each action button would have without a transaction.
  struct ButtonStates {
    bool get = false, load = true, send = false, powerOff = false, end = true;
  } buttons_;

  // Widgets, named as the window has always named them.
  QPushButton* cmdGet = nullptr;
  QPushButton* cmdLoad = nullptr;
  QLineEdit* txtPath = nullptr;
  QPushButton* cmdSend = nullptr;
  QPushButton* cmdPowerOff = nullptr;
  QPushButton* cmdStore = nullptr;
  QPushButton* cmdEnd = nullptr;
  QCheckBox* chkFactorySave = nullptr;
  QCheckBox* chkVerify = nullptr;
  QLabel* lblNotLive = nullptr;
  InfoPane* rtbInfo = nullptr;
  SettingsTabs* SSTab1 = nullptr;
  TransactionRunner* runner_ = nullptr;
  QPushButton* cmdStation = nullptr;
  QComboBox* cboPort = nullptr;
  QPushButton* cmdConnect = nullptr;
  QLabel* lblIdentity = nullptr;
  QLabel* lblPending = nullptr;
  StationDialog* station_ = nullptr;
};

}  // namespace kv
