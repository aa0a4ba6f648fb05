#pragma once
// SettingsTabs: the window's settings pages ("SSTab1") with every settings
// grid, the conversion table's available count and the tables' Export and
// Import buttons. It fills the grids from the record behind them, applies
// their edits to it, and answers which cells are refused; the window only
// says what to do with a table's buttons.
#include <QTabWidget>
#include <array>
#include <string>
#include <vector>

#include "app/grid_store.h"
#include "files/csv_tables.h"
#include "model/instrument.h"
#include "rules/record_check.h"

class QLabel;
class QLineEdit;

namespace kv {

class SettingsGrid;

class SettingsTabs final : public QTabWidget {
  Q_OBJECT

 public:
  // The grids edit `record` (the window's EditInstrument) through their rules.
  explicit SettingsTabs(clsInstrument& record, QWidget* parent = nullptr);

  // Every grid from the record, in the fixed order; earlier edits are gone.
  void FillAll();
  // Applies the grids' edits to the record: exactly the edited settings take
  // a change flag.
  void StoreEdits();
  // The grids show their edits as unedited from now on (after Transmit or Store).
  void ClearEditMarks();
  // Marks the PID and user-conversion cells of `problems` with their
  // reasons, and takes the earlier such marks away (an import's stay).
  void MarkRefusedTableCells(const std::vector<rules::SettingProblem>& problems);
  // The title of the first table holding a cell an import refused; empty
  // when none. (The cells the record check refuses are judged again, with
  // their reasons, by the check before every write.)
  std::string FirstRefusedTable() const;

  SettingsGrid* GridOf(csv::CsvTable table) const;
  const std::array<SettingsGrid*, kPidRanges>& PidGrids() const { return vfgPID; }
  SettingsGrids Grids() const;

 signals:
  void ExportRequested(csv::CsvTable table);
  void ImportRequested(csv::CsvTable table);
  // An entry was accepted in the user conversion or a PID table: the record
  // check may now refuse other cells of theirs.
  void TableEntryAccepted();

 private:
  QWidget* BuildGasPage();
  QWidget* BuildOtherPage();
  QWidget* BuildStationUserPage();
  QWidget* BuildConversionPage();
  QWidget* BuildPidPage();
  QWidget* BuildAlarmLevelPage();
  SettingsGrid* AddGrid(const QString& name);
  // An Export and an Import button for the table, named as given.
  QWidget* TableButtons(QWidget* parent, csv::CsvTable table, const QString& exportName,
                        const QString& importName, const QString& caption = {});
  void InstallGridRules();
  bool MarkedByRecordCheck(const SettingsGrid* grid, int row, int col) const;

  clsInstrument& record_;
  // The cells MarkRefusedTableCells marked.
  struct MarkedCell {
    SettingsGrid* grid;
    int row, col;
  };
  std::vector<MarkedCell> refusedCells_;

  // Widgets, named as the window has always named them.
  QTabWidget* sstUser = nullptr;
  QTabWidget* SSTab2 = nullptr;
  QTabWidget* SSTab3 = nullptr;
  QLabel* lblName = nullptr;
  QLabel* lblMap = nullptr;
  QLabel* lblElimination = nullptr;
  QLabel* lblOther = nullptr;
  QLabel* lblStation = nullptr;
  QLabel* lblUser = nullptr;
  QLineEdit* txtCount = nullptr;
  SettingsGrid* vfgDatas = nullptr;
  SettingsGrid* vfgGasName = nullptr;
  SettingsGrid* vfgChannel = nullptr;
  SettingsGrid* vfgOtherSet = nullptr;
  SettingsGrid* vfgME = nullptr;
  SettingsGrid* vfgStation = nullptr;
  SettingsGrid* vfgUser = nullptr;
  SettingsGrid* vfgPreConv = nullptr;
  SettingsGrid* vfgUserConv = nullptr;
  std::array<SettingsGrid*, kPidRanges> vfgPID{};
  SettingsGrid* vfgAlarmLevels = nullptr;
};

}  // namespace kv
