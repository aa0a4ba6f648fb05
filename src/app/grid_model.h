#pragma once
// GridModel: the table model behind one settings grid. Each cell holds what
// the fill wrote (its text and the record value behind it) and the overlay
// of edits over it: the text and value now and the cell's state (unchanged,
// edited, or invalid with its reason). The look follows from the state alone,
// through the model's roles: BackgroundRole from the state, FontRole bold
// for an edit, ToolTipRole the refusal's reason or what a code such as
// "*****" means. Coordinates here are the body's: captions are header data.
#include <QAbstractTableModel>
#include <QFont>
#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

#include "app/grid_cell.h"

namespace kv {

struct GridCell {
  CellKind kind = CellKind::Text;
  QString list;        // Choice only: the items, "|"-separated
  QString filledText;  // what the fill wrote
  QVariant filledValue;
  QString text;        // shown now
  QVariant value;      // the fill's, or an accepted edit's; Check: bool
  CellState state = CellState::Normal;
  QString reason;       // Invalid: why (the tool tip)
  QString invalidText;  // Invalid: the text refused; typing over it ends the mark
  bool filled = false;  // a fill wrote the cell
  // The overlay holds an edit of this cell since the fill, even one back to
  // the value filled; taking the edits changes only their look.
  bool overlaid = false;
  bool masked = false;  // drawn as one "*" per character
};

class GridModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit GridModel(QObject* parent = nullptr);

  // Empties the model and gives it rows x cols body cells without captions.
  void Reset(int rows, int cols);
  void SetHeader(Qt::Orientation orientation, int section, const QString& text);
  QString Header(Qt::Orientation orientation, int section) const;

  // What a fill writes: the cell starts unchanged (or unused).
  void Fill(int row, int col, const CellContent& content);
  // Null outside the body or for a cell no fill wrote.
  const GridCell* Cell(int row, int col) const;
  // An accepted entry: the text shown and the value behind it.
  void SetEdited(int row, int col, const QString& text, const QVariant& value);
  // Text written without a value (the value stays the fill's).
  void SetText(int row, int col, const QString& text);
  void SetChecked(int row, int col, bool checked);
  // Marks the cell refused with `reason`; an empty reason takes the mark away.
  void MarkInvalid(int row, int col, const QString& reason);
  // Drawn masked until the next fill of the cell (a password).
  void SetMasked(int row, int col);
  bool HasInvalidCell(int onlyCol) const;
  // Every edited cell's text and value become its unedited state (the look:
  // the overlay stays until the next fill).
  void ClearEditMarks();

  // The font an edited cell is shown bold in (the grid's own).
  void SetFont(const QFont& font) { font_ = font; }
  // Asked when a check box is toggled from the view: false leaves it as it
  // was. Row and column are the body's.
  void SetCheckFilter(std::function<bool(int row, int col, bool checked)> accepts) {
    acceptsCheck_ = std::move(accepts);
  }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // EditRole: text without a value; CheckStateRole: a toggle, which the
  // check filter may refuse. The look cannot be set: it follows the state.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 signals:
  // A check box was toggled from the view and taken.
  void CheckToggled(int row, int col, bool checked);

 private:
  GridCell* MutableCell(int row, int col);
  // Edited or unchanged from the text (or check) against the fill's; an
  // invalid cell stays invalid while it shows the refused text.
  void UpdateState(GridCell& cell) const;
  void Changed(int row, int col);

  int rows_ = 0;
  int cols_ = 0;
  std::vector<GridCell> cells_;
  std::vector<QString> columnHeaders_;
  std::vector<QString> rowHeaders_;
  QFont font_;
  std::function<bool(int, int, bool)> acceptsCheck_;
};

}  // namespace kv
