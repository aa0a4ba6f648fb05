#pragma once
// frmHistory: an instrument's history. The instruments the history knows,
// the selected instrument's events in time order, two snapshots side by side
// with the settings in which they differ, and a button that loads a chosen
// snapshot into the main window's grids (Transmit then writes it back).
#include <QWidget>
#include <memory>
#include <vector>

#include "history/history_store.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace kv {

class Dialogs;
class frmMain;

class frmHistory final : public QWidget {
  Q_OBJECT

 public:
  frmHistory(history::Store& store, frmMain& main, Dialogs& dialogs, QWidget* parent = nullptr);
  ~frmHistory() override;

  // Reads the instrument list again (the selection stays when it can).
  void Refresh();
  // Shows the events of the instrument in row `row` of the instrument table.
  void SelectInstrument(int row);
  // Compares the snapshots at these places of the snapshot lists (oldest first).
  void CompareSnapshots(int a, int b);
  // Loads snapshot B into the main window's grids.
  void cmdLoadIntoGrids_Click();

 private:
  void ShowInstruments();
  void ShowEvents();
  void ShowDifferences();
  // A query failed: say so in the window's status line.
  void ShowError(const std::string& error);

  history::Store& store_;
  frmMain& main_;
  Dialogs& dialogs_;
  std::vector<history::InstrumentSummary> instruments_;
  std::vector<history::Event> events_;
  std::vector<history::Event> snapshots_;  // the events with a snapshot, oldest first

  QTableWidget* tblInstruments = nullptr;
  QTableWidget* tblEvents = nullptr;
  QComboBox* cboSnapshotA = nullptr;  // the state compared against (the latest by default)
  QComboBox* cboSnapshotB = nullptr;  // the snapshot to load (the one before it by default)
  QTableWidget* tblDifferences = nullptr;
  QLabel* lblDifferences = nullptr;
  QLabel* lblStatus = nullptr;
  QPushButton* cmdLoadIntoGrids = nullptr;
};

}  // namespace kv
