#pragma once
// The settings grid behind every "vfg" table of the window.
//
// A table view over its GridModel. Coordinates are those of the whole table:
// row 0 is the caption row and column 0 the caption column where the grid has
// them, so cell (g + 1, c + 1) is gas slot g under channel c. Caption rows and
// columns are the model's header data (they stay in view while the table
// scrolls); every other cell is a cell of the model.
//
// Each cell keeps, beside its text, the record value it was filled from and
// the text it was filled with, so that the write-back compares values and a
// cell nobody edited never counts as changed, whatever its text looks like
// ("*****", a level rounded to 0 decimals).
#include <QTableView>
#include <memory>

#include "app/grid_cell.h"

namespace kv {

class GridModel;
class GridRules;

class SettingsGrid final : public QTableView {
  Q_OBJECT

 public:
  explicit SettingsGrid(const QString& name, QWidget* parent = nullptr);
  ~SettingsGrid() override;

  // The fixed (caption) colour given to unused cells, and the tint of a
  // cell whose text differs from what the fill wrote (shown bold as well).
  static QColor FixedCellColour() { return kv::FixedCellColour(); }
  static QColor EditedCellColour() { return kv::EditedCellColour(); }
  static QColor InvalidCellColour() { return kv::InvalidCellColour(); }

  // Empties the grid and gives it `rows` x `cols` cells, of which the first
  // `fixedRows` rows and `fixedCols` columns (0 or 1) are captions.
  void Reset(int rows, int cols, int fixedRows, int fixedCols);
  int Rows() const;
  int Cols() const;
  int FixedRows() const { return fixedRows_; }
  int FixedCols() const { return fixedCols_; }
  bool IsCaptionCell(int row, int col) const { return row < fixedRows_ || col < fixedCols_; }

  // Writes a cell; on a caption cell only the text counts. Out of range: nothing.
  void SetCell(int row, int col, const CellContent& content);
  void SetCaption(int row, int col, const QString& text);

  QString Text(int row, int col) const;
  // The model's index of a cell below and right of the captions; invalid elsewhere.
  QModelIndex Index(int row, int col) const;
  GridModel& Model() const { return *model_; }
  CellKind Kind(int row, int col) const;
  CellState State(int row, int col) const;
  QVariant FilledValue(int row, int col) const;
  // The value behind the cell now: the filled value until an edit is
  // accepted, then the edit's; a check cell's check state.
  QVariant Value(int row, int col) const;
  // Whether the cell differs from what the fill wrote.
  bool IsEdited(int row, int col) const { return State(row, col) == CellState::Edited; }
  // Whether the overlay holds an edit of the cell (one back to the filled
  // value too) since the fill: what StoreGrids applies.
  bool HasEdit(int row, int col) const;
  bool IsChecked(int row, int col) const;
  // Marks the cell as refused with `reason` (its tool tip); an empty reason
  // takes the mark away. Unused and caption cells are never marked.
  void MarkInvalid(int row, int col, const QString& reason);
  // Drawn as one "*" per character until the next fill (a password).
  void MaskCell(int row, int col);
  // Whether a cell (in column `onlyCol`, or any column when -1) is marked invalid.
  bool HasInvalidCell(int onlyCol = -1) const;
  QColor Background(int row, int col) const;

  // ---- editing ------------------------------------------------------------
  // The rules that decide which cells edit and what they accept; a grid
  // without rules cannot be edited (check boxes still toggle).
  void SetRules(std::unique_ptr<GridRules> rules);
  GridRules* Rules() const { return rules_.get(); }
  // Writes an accepted entry: the text shown and the value behind it.
  void SetEditedCell(int row, int col, const QString& text, const QVariant& value);
  void SetChecked(int row, int col, bool checked);
  // The texts and values shown now become the unedited state (after a
  // Transmit or Store has taken them).
  void ClearEditMarks();
  // Moves the keyboard focus to the next (or previous) widget of the window.
  void LeaveGrid(bool forward) { focusNextPrevChild(forward); }
  // Puts the current cell (whole-table coordinates) where the keyboard is.
  void SetCurrentCell(int row, int col);
  // The current cell's row in whole-table coordinates; -1 when none.
  int CurrentRow() const;

  // Column sizing in whole-table coordinates (caption columns excluded).
  void SetColumnHidden(int col, bool hidden);
  // The column takes whatever width the others leave.
  void SetColumnStretch(int col);
  // Every column below the captions shares the grid's width.
  void StretchAllColumns();
  // The column is as wide as its widest text; the others share the rest.
  void SetColumnFitsContents(int col);
  // The column keeps `width` pixels.
  void SetColumnFixedWidth(int col, int width);
  // Share of the grid's width given to the caption column (0: by content).
  void SetCaptionColumnShare(double share);

 signals:
  // An entry typed into the cell was accepted and written (EnterText).
  void EntryAccepted(int row, int col);

 protected:
  // Before-edit: unused cells and cells the rules refuse do not open an editor.
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ApplyCaptionShare();
  void ApplyRowHeight();
  // A check box toggled from the view: the rules may refuse it (with a beep).
  bool AcceptsCheck(int bodyRow, int bodyCol, bool checked);

  GridModel* model_;
  std::unique_ptr<GridRules> rules_;
  int fixedRows_ = 0;
  int fixedCols_ = 0;
  QString corner_;
  double captionShare_ = 0.0;
};

}  // namespace kv
