#pragma once
// frmHistory: an instrument's history. The instruments the history knows,
// each with when its calibration falls due (filtered to those due or
// overdue on request), the selected instrument's events in time order a page at a time (the
// latest page first), two snapshots of the page side by side with the
// settings in which they differ, and a button that loads a chosen snapshot
// into the main window's grids (Transmit then writes it back). Lists read no
// snapshot: only the two compared are read, when they are compared. A
// selected calibration event gives its certificate; a second tab compares
// the fleet with the company's policy file.
#include <QWidget>
#include <map>
#include <memory>
#include <vector>

#include "fleet/calibration_due.h"
#include "history/history_store.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace kv {

class ComplianceView;
class Dialogs;
class HistoryHost;

class frmHistory final : public QWidget {
  Q_OBJECT

 public:
  frmHistory(history::Store& store, HistoryHost& host, Dialogs& dialogs, QWidget* parent = nullptr);
  ~frmHistory() override;

  // Reads the instrument list again (the selection stays when it can).
  void Refresh();
  // Shows the latest page of events of the instrument in row `row` of the instrument table.
  void SelectInstrument(int row);
  // Shows the page before or after the one shown.
  void ShowEarlierPage();
  void ShowLaterPage();

  static constexpr std::size_t kEventsPerPage = 200;
  // Compares the snapshots at these places of the snapshot lists (oldest first).
  void CompareSnapshots(int a, int b);
  // Loads snapshot B into the main window's grids.
  void cmdLoadIntoGrids_Click();
  // Shows only the instruments whose calibration is due or overdue.
  void ShowDueOnly(bool dueOnly);
  // Writes the certificate of the calibration event in row `row` of the events to a PDF the user names.
  void WriteCertificate(int row);
  ComplianceView* Compliance() const { return compliance_; }

  // The instrument list's columns.
  enum Column { kSerial, kModel, kLastSeen, kLastRead, kLastCalibration, kCalibrationDue };

 private:
  // Each instrument's calibration judged now; its row's due column and colour.
  void JudgeCalibrations();
  void ShowDueCell(int row, const std::string& serial);
  void ApplyDueFilter();
  void ShowCertificateButton();
  void ShowPage(std::size_t start);
  void ShowEvents();
  void ShowDifferences();
  // The snapshot of snapshots_[index], read from the store once; nullptr
  // after saying why it could not be read.
  const std::string* SnapshotBytes(int index);
  // A query failed: say so in the window's status line.
  void ShowError(const std::string& error);

  history::Store& store_;
  HistoryHost& host_;
  Dialogs& dialogs_;
  std::vector<history::InstrumentSummary> instruments_;
  std::string serial_;                     // the instrument shown
  std::size_t eventCount_ = 0;             // its events in the history
  std::size_t pageStart_ = 0;              // the first event of the page shown
  std::vector<history::Event> events_;     // the page, without snapshot bytes
  std::vector<history::Event> snapshots_;  // the page's events with a snapshot, oldest first
  std::map<std::int64_t, std::string> loaded_;  // the snapshots read, by event id (those compared)
  std::map<std::string, fleet::InstrumentDue> due_;  // by serial number; none for one never read

  QTableWidget* tblInstruments = nullptr;
  QTableWidget* tblEvents = nullptr;
  QComboBox* cboSnapshotA = nullptr;  // the state compared against (the latest by default)
  QComboBox* cboSnapshotB = nullptr;  // the snapshot to load (the one before it by default)
  QTableWidget* tblDifferences = nullptr;
  QLabel* lblDifferences = nullptr;
  QLabel* lblStatus = nullptr;
  QLabel* lblPage = nullptr;
  QPushButton* cmdEarlier = nullptr;
  QPushButton* cmdLater = nullptr;
  QPushButton* cmdLoadIntoGrids = nullptr;
  QCheckBox* chkDueOnly = nullptr;
  QPushButton* cmdCertificate = nullptr;
  ComplianceView* compliance_ = nullptr;
};

}  // namespace kv
