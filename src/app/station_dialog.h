#pragma once
// Station mode in the window: one distributed file rolled out to the
// instruments placed one after another on each adapter of the PC. Shows the
// chosen file, the settings each instrument keeps as its own, one large tile
// per adapter (its port, the instrument on it and the step, readable from a
// metre away) and the shared list of instruments done in this run; the run
// report goes beside the backups. Each adapter runs its own cycle of one
// StationRun on the one event loop; adapters plugged in during the run join
// it, those pulled out leave.
#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "app/station_host.h"
#include "ops/station_files.h"
#include "ops/station_run.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;

namespace kv {

class StationTile;

class StationDialog final : public QDialog, private StationObserver {
  Q_OBJECT

 public:
  // How often a run looks for adapters plugged in or pulled out.
  static constexpr int kAdapterSearchMs = 2000;

  // `recorder` (may be null) records each instrument's steps.
  StationDialog(std::unique_ptr<StationHost> host, history::Recorder* recorder, QWidget* parent);
  ~StationDialog() override;
  StationDialog(const StationDialog&) = delete;
  StationDialog& operator=(const StationDialog&) = delete;

  // Chooses the distributed file; false (and the reason shown) when it
  // cannot be rolled out.
  bool SetFile(const QString& path);
  // Starts the run on the program's own adapter and every other one plugged
  // in; false when it cannot start (no file, no adapter free).
  bool StartRun();
  // Ends the run before the next instrument on each adapter.
  void StopRun();
  bool Running() const { return running_; }
  // The report of the last run, once written.
  const QString& ReportPath() const { return reportPath_; }
  // Adapters plugged in join the run; the tiles of those pulled out go.
  void SearchAdapters();
  // The tile of `port`; null when it has none.
  StationTile* Tile(const QString& port) const;

 signals:
  void OutcomeAdded();
  void RunEnded();

 private:
  // One adapter in the run: its part of the run, its link (null for the
  // program's own) and its tile.
  struct Line {
    QString port;
    std::unique_ptr<StationPort> station;
    std::unique_ptr<StationAdapter> adapter;  // after the station: its run's frame goes first
    StationTile* tile = nullptr;
    bool running = false;
  };

  void PhaseChanged(StationPhase phase, const std::string& serial) override;
  void PortPhaseChanged(const std::string& port, StationPhase phase, const std::string& serial) override;
  void InstrumentFinished(const StationOutcome& outcome) override;
  QWidget* BuildControls(QWidget* parent);
  bool StartLine(const QString& port, uclTzif& link, std::unique_ptr<StationAdapter> adapter);
  void LineEnded();
  void RemoveLine(const Line* line);
  void PlaceTiles();
  Line* Find(const QString& port) const;
  void ChooseFile();
  void RunFinished();
  void ShowStatus(const QString& text);
  void UpdateButtons();

  std::unique_ptr<StationHost> host_;
  history::Recorder* recorder_;
  std::string fileContent_;
  QString filePath_;
  std::unique_ptr<StationRun> run_;
  std::unique_ptr<StationReportFile> report_;
  std::vector<std::unique_ptr<Line>> lines_;  // after the run: their cycles use it
  bool running_ = false;
  bool closing_ = false;
  QString reportPath_;
  QTimer* adapterSearch_ = nullptr;

  QLineEdit* txtStationFile = nullptr;
  QPushButton* cmdStationFile = nullptr;
  QTableWidget* tblPerInstrument = nullptr;
  QCheckBox* chkStationVerify = nullptr;
  QCheckBox* chkStationClock = nullptr;
  QCheckBox* chkStationPowerOff = nullptr;
  QLabel* lblStationStatus = nullptr;
  QWidget* tiles_ = nullptr;
  QGridLayout* tileGrid_ = nullptr;
  QTableWidget* tblStationDone = nullptr;
  QLabel* lblStationReport = nullptr;
  QPushButton* cmdStationStart = nullptr;
  QPushButton* cmdStationStop = nullptr;
};

}  // namespace kv
