#pragma once
// The settings grid behind every "vfg" table of the window.
//
// Coordinates are those of the whole table: row 0 is the caption row and
// column 0 the caption column where the grid has them, so cell (g + 1, c + 1)
// is gas slot g under channel c. Caption rows and columns are drawn as the
// table's headers (they stay in view while the table scrolls); every other
// cell is an item.
//
// Each item keeps, beside its text, the record value it was filled from and
// the text it was filled with, so that the write-back compares values and a
// cell nobody edited never counts as changed, whatever its text looks like
// ("*****", a level rounded to 0 decimals).
#include <QColor>
#include <QString>
#include <QTableWidget>
#include <QVariant>
#include <memory>
#include <string>

namespace kv {

// What a cell holds.
enum class CellKind {
  Text,    // free text or a number
  Check,   // a check box; the value is a bool
  Choice,  // an index into a "|"-separated list; the text is the list item
  Unused,  // no setting in this row and column: fixed colour, not editable
};

// Where a cell stands; its colour follows from it. An invalid cell holds an
// entry its table refuses (an import, a row the record check refuses) and
// says why in its tool tip; Transmit asks the states, never the colours.
enum class CellState { Normal, Unused, Edited, Invalid };

// Item data roles of the grid's cells.
namespace grid_role {
inline constexpr int kFilledValue = Qt::UserRole + 1;  // the record value behind the cell
inline constexpr int kFilledText = Qt::UserRole + 2;   // the text the fill wrote
inline constexpr int kState = Qt::UserRole + 3;        // CellState as int
inline constexpr int kChoiceList = Qt::UserRole + 4;   // Choice cells: the items, "|"-separated
inline constexpr int kKind = Qt::UserRole + 5;         // CellKind as int
inline constexpr int kValue = Qt::UserRole + 6;  // the value now: the fill's, or an accepted edit's
inline constexpr int kInvalidText = Qt::UserRole + 7;  // Invalid cells: the text refused (typing over it ends the mark)
}  // namespace grid_role

// What the instrument means by a code a cell shows ("*****": not used,
// "?????": not adjustable, "-----": no data); empty for any other text.
QString CodeMeaning(const QString& text);

// The content a fill writes into one cell.
struct CellContent {
  CellKind kind = CellKind::Text;
  QString text;    // Choice: derived from the list and the index
  QVariant value;  // Text: the record value; Check: bool; Choice: the index
  QString list;    // Choice only
};

CellContent TextCell(const QString& text, const QVariant& value);
// Record text (single-byte) shown as it is.
CellContent TextCell(const std::string& latin1);
CellContent NumberCell(long long number);
// A Single shown as a plain number ("0.1", "50000").
CellContent PlainNumberCell(float number);
// A reading or level through FormatGasValue.
CellContent GasValueCell(float value, int decimals);
CellContent CheckCell(bool checked, const QString& text = QString());
CellContent ChoiceCell(const QString& list, int index);
CellContent UnusedCell(const QString& text = QString());
// An unused cell that says so.
CellContent DashesCell();

// The list item at `index`, empty outside the list.
QString ChoiceItem(const QString& list, int index);
// A Single as plain text, at most seven significant digits.
QString PlainNumber(float number);

inline const QString kDashes = QStringLiteral("-----");

class GridRules;

class SettingsGrid final : public QTableWidget {
  Q_OBJECT

 public:
  explicit SettingsGrid(const QString& name, QWidget* parent = nullptr);
  ~SettingsGrid() override;

  // The fixed (caption) colour given to unused cells, and the tint of a
  // cell whose text differs from what the fill wrote (shown bold as well).
  static QColor FixedCellColour();
  static QColor EditedCellColour();
  static QColor InvalidCellColour();

  // Empties the grid and gives it `rows` x `cols` cells, of which the first
  // `fixedRows` rows and `fixedCols` columns (0 or 1) are captions.
  void Reset(int rows, int cols, int fixedRows, int fixedCols);
  int Rows() const { return rowCount() + fixedRows_; }
  int Cols() const { return columnCount() + fixedCols_; }
  int FixedRows() const { return fixedRows_; }
  int FixedCols() const { return fixedCols_; }
  bool IsCaptionCell(int row, int col) const { return row < fixedRows_ || col < fixedCols_; }

  // Writes a cell; on a caption cell only the text counts. Out of range: nothing.
  void SetCell(int row, int col, const CellContent& content);
  void SetCaption(int row, int col, const QString& text);

  QString Text(int row, int col) const;
  // The item of a cell below and right of the captions; null elsewhere.
  QTableWidgetItem* Item(int row, int col) const;
  CellKind Kind(int row, int col) const;
  CellState State(int row, int col) const;
  QVariant FilledValue(int row, int col) const;
  // The value behind the cell now: the filled value until an edit is
  // accepted, then the edit's; a check cell's check state.
  QVariant Value(int row, int col) const;
  // Whether the cell differs from what the fill wrote.
  bool IsEdited(int row, int col) const { return State(row, col) == CellState::Edited; }
  bool IsChecked(int row, int col) const;
  // Marks the cell as refused with `reason` (its tool tip); an empty reason
  // takes the mark away. Unused and caption cells are never marked.
  void MarkInvalid(int row, int col, const QString& reason);
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
  void OnItemChanged(QTableWidgetItem* item);
  void ApplyCaptionShare();
  void ApplyRowHeight();
  void OnCheckChanged(QTableWidgetItem& item);

  std::unique_ptr<GridRules> rules_;
  bool inCheckChange_ = false;
  int fixedRows_ = 0;
  int fixedCols_ = 0;
  QString corner_;
  double captionShare_ = 0.0;
};

// Applies `state` to an item: its colour and whether it can be edited.
void ApplyCellState(QTableWidgetItem& item, CellState state);

}  // namespace kv
