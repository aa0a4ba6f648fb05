#pragma once
// The editors of the settings grids: a combo box where the rules offer a
// list, a line edit elsewhere. Keys the rules refuse are dropped with the
// system beep; a refused entry keeps its editor open with the typed text and
// the reason as tooltip, and the cell keeps its value. Tab and Shift+Tab
// commit and leave the grid; Escape cancels.
#include <QStyledItemDelegate>

#include "rules/edit_check.h"

namespace kv {

class SettingsGrid;

// The text a cell is drawn with (grid_role::kMasked: one "*" per character).
QString DrawnText(const QModelIndex& index);

class GridEditDelegate final : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit GridEditDelegate(SettingsGrid& grid);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

 private:
  // Whole-table coordinates of the cell an editor edits.
  int RowOf(const QWidget& editor) const;
  int ColOf(const QWidget& editor) const;
  // Checks the editor's text; on refusal shows the reason on the editor.
  bool Accepts(QWidget& editor) const;

  SettingsGrid& grid_;
};

// The text an editor holds.
QString EditorText(const QWidget& editor);

// An entry typed into a cell, as its editor commits it: checked by the grid's
// rules and, when accepted, written (the normalised text and the value behind
// it) with the after-edit run. A refused entry leaves the cell as it was.
rules::EditCheck EnterText(SettingsGrid& grid, int row, int col, const QString& text);

}  // namespace kv
