#pragma once
// Station mode in the window: one distributed file rolled out to a line of
// instruments placed on the adapter one after another. Shows the chosen
// file, the settings each instrument keeps as its own, a large status of the
// instrument on the adapter (readable from a metre away) and the
// instruments done in this run; the run report goes beside the backups.
#include <QDialog>
#include <memory>
#include <string>

#include "ops/station_files.h"
#include "ops/station_run.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kv {

class frmMain;

class StationDialog final : public QDialog, private StationObserver {
  Q_OBJECT

 public:
  // `recorder` (may be null) records each instrument's steps.
  explicit StationDialog(frmMain& window, history::Recorder* recorder = nullptr);
  ~StationDialog() override;
  StationDialog(const StationDialog&) = delete;
  StationDialog& operator=(const StationDialog&) = delete;

  // Chooses the distributed file; false (and the reason shown) when it
  // cannot be rolled out.
  bool SetFile(const QString& path);
  // Starts the run; false when it cannot start (no file, the link busy).
  bool StartRun();
  // Ends the run before the next instrument.
  void StopRun();
  bool Running() const { return running_; }
  // The report of the last run, once written.
  const QString& ReportPath() const { return reportPath_; }

 signals:
  void OutcomeAdded();
  void RunEnded();

 private:
  void PhaseChanged(StationPhase phase, const std::string& serial) override;
  void InstrumentFinished(const StationOutcome& outcome) override;
  void ChooseFile();
  void RunFinished();
  void ShowStatus(StationPhase phase, const QString& text);
  void UpdateButtons();

  frmMain& window_;
  history::Recorder* recorder_;
  std::string fileContent_;
  QString filePath_;
  std::unique_ptr<StationRun> run_;
  std::unique_ptr<StationReportFile> report_;
  bool running_ = false;
  QString reportPath_;

  QLineEdit* txtStationFile = nullptr;
  QPushButton* cmdStationFile = nullptr;
  QTableWidget* tblPerInstrument = nullptr;
  QCheckBox* chkStationVerify = nullptr;
  QCheckBox* chkStationClock = nullptr;
  QCheckBox* chkStationPowerOff = nullptr;
  QLabel* lblStationStatus = nullptr;
  QTableWidget* tblStationDone = nullptr;
  QLabel* lblStationReport = nullptr;
  QPushButton* cmdStationStart = nullptr;
  QPushButton* cmdStationStop = nullptr;
};

}  // namespace kv
