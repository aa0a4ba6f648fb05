#include "app/settings_grid.h"

#include <QHeaderView>
#include <QResizeEvent>
#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QFont>

#include "app/grid_editor.h"
#include "app/grid_rules.h"

namespace kv {
namespace {

Qt::ItemFlags FlagsFor(CellKind kind) {
  constexpr Qt::ItemFlags kShown = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  switch (kind) {
    case CellKind::Check:
      return kShown | Qt::ItemIsUserCheckable;
    case CellKind::Unused:
      return kShown;
    case CellKind::Text:
    case CellKind::Choice:
      break;
  }
  return kShown | Qt::ItemIsEditable;
}

bool ShowsEdit(const QTableWidgetItem& item) {
  const auto kind = static_cast<CellKind>(item.data(grid_role::kKind).toInt());
  if (kind == CellKind::Check) {
    return (item.checkState() == Qt::Checked) != item.data(grid_role::kFilledValue).toBool();
  }
  return item.text() != item.data(grid_role::kFilledText).toString();
}

}  // namespace

QString CodeMeaning(const QString& text) {
  const QString code = text.trimmed();
  if (code == QStringLiteral("*****")) return QStringLiteral("not used");
  if (code == QStringLiteral("?????")) return QStringLiteral("not adjustable");
  if (code == kDashes) return QStringLiteral("no data");
  return {};
}

void ApplyCellState(QTableWidgetItem& item, CellState state) {
  item.setData(grid_role::kState, static_cast<int>(state));
  if (state != CellState::Invalid) {
    item.setData(grid_role::kInvalidText, QVariant());
    const QString meaning = CodeMeaning(item.text());
    item.setData(Qt::ToolTipRole, meaning.isEmpty() ? QVariant() : QVariant(meaning));
  }
  // An edited cell is bold in the grid's own font; the others keep the grid's font.
  if (state == CellState::Edited && item.tableWidget() != nullptr) {
    QFont font = item.tableWidget()->font();
    font.setBold(true);
    item.setFont(font);
  } else {
    item.setData(Qt::FontRole, QVariant());
  }
  switch (state) {
    case CellState::Unused:
      item.setBackground(SettingsGrid::FixedCellColour());
      break;
    case CellState::Edited:
      item.setBackground(SettingsGrid::EditedCellColour());
      break;
    case CellState::Invalid:
      item.setBackground(SettingsGrid::InvalidCellColour());
      break;
    case CellState::Normal:
      item.setData(Qt::BackgroundRole, QVariant());
      break;
  }
}

SettingsGrid::SettingsGrid(const QString& name, QWidget* parent) : QTableWidget(parent) {
  setObjectName(name);
  setWordWrap(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setHighlightSections(false);
  // Tab and Shift+Tab leave the grid; the arrow keys move inside it.
  setTabKeyNavigation(false);
  setAccessibleName(name);
  setItemDelegate(new GridEditDelegate(*this));
  // The corner button selects every cell.
  for (QAbstractButton* corner : findChildren<QAbstractButton*>()) {
    corner->setAccessibleName(tr("Select all cells"));
  }
  connect(this, &QTableWidget::itemChanged, this, &SettingsGrid::OnItemChanged);
  ApplyRowHeight();
}

SettingsGrid::~SettingsGrid() = default;

QColor SettingsGrid::FixedCellColour() { return {224, 224, 224}; }

QColor SettingsGrid::EditedCellColour() { return {255, 255, 192}; }

QColor SettingsGrid::InvalidCellColour() { return {255, 0, 0}; }

void SettingsGrid::Reset(int rows, int cols, int fixedRows, int fixedCols) {
  fixedRows_ = std::clamp(fixedRows, 0, 1);
  fixedCols_ = std::clamp(fixedCols, 0, 1);
  clear();
  setRowCount(std::max(rows - fixedRows_, 0));
  setColumnCount(std::max(cols - fixedCols_, 0));
  // Empty header items, so that captions nobody writes stay blank instead of
  // showing Qt's running numbers.
  for (int c = 0; c < columnCount(); ++c) setHorizontalHeaderItem(c, new QTableWidgetItem);
  for (int r = 0; r < rowCount(); ++r) setVerticalHeaderItem(r, new QTableWidgetItem);
  horizontalHeader()->setVisible(fixedRows_ > 0);
  verticalHeader()->setVisible(fixedCols_ > 0);
  corner_.clear();
  ApplyCaptionShare();
}

void SettingsGrid::SetCaption(int row, int col, const QString& text) {
  if (row < 0 || col < 0 || row >= Rows() || col >= Cols() || !IsCaptionCell(row, col)) return;
  if (row < fixedRows_ && col < fixedCols_) {
    corner_ = text;
  } else if (row < fixedRows_) {
    horizontalHeaderItem(col - fixedCols_)->setText(text);
  } else {
    verticalHeaderItem(row - fixedRows_)->setText(text);
  }
}

void SettingsGrid::SetCell(int row, int col, const CellContent& content) {
  if (row < 0 || col < 0 || row >= Rows() || col >= Cols()) return;
  if (IsCaptionCell(row, col)) {
    SetCaption(row, col, content.text);
    return;
  }
  auto* item = new QTableWidgetItem(content.text);
  item->setFlags(FlagsFor(content.kind));
  item->setData(grid_role::kKind, static_cast<int>(content.kind));
  item->setData(grid_role::kFilledValue, content.value);
  item->setData(grid_role::kFilledText, content.text);
  item->setData(grid_role::kValue, content.value);
  if (content.kind == CellKind::Check) {
    item->setCheckState(content.value.toBool() ? Qt::Checked : Qt::Unchecked);
  }
  if (content.kind == CellKind::Choice) item->setData(grid_role::kChoiceList, content.list);
  ApplyCellState(*item, content.kind == CellKind::Unused ? CellState::Unused : CellState::Normal);
  setItem(row - fixedRows_, col - fixedCols_, item);
}

QTableWidgetItem* SettingsGrid::Item(int row, int col) const {
  if (row < fixedRows_ || col < fixedCols_) return nullptr;
  return item(row - fixedRows_, col - fixedCols_);
}

QString SettingsGrid::Text(int row, int col) const {
  if (row < 0 || col < 0 || row >= Rows() || col >= Cols()) return {};
  if (row < fixedRows_ && col < fixedCols_) return corner_;
  if (row < fixedRows_) return horizontalHeaderItem(col - fixedCols_)->text();
  if (col < fixedCols_) return verticalHeaderItem(row - fixedRows_)->text();
  const QTableWidgetItem* cell = Item(row, col);
  return cell != nullptr ? cell->text() : QString();
}

CellKind SettingsGrid::Kind(int row, int col) const {
  const QTableWidgetItem* cell = Item(row, col);
  if (cell == nullptr) return IsCaptionCell(row, col) ? CellKind::Unused : CellKind::Text;
  return static_cast<CellKind>(cell->data(grid_role::kKind).toInt());
}

CellState SettingsGrid::State(int row, int col) const {
  const QTableWidgetItem* cell = Item(row, col);
  if (cell == nullptr) return IsCaptionCell(row, col) ? CellState::Unused : CellState::Normal;
  return static_cast<CellState>(cell->data(grid_role::kState).toInt());
}

QVariant SettingsGrid::FilledValue(int row, int col) const {
  const QTableWidgetItem* cell = Item(row, col);
  return cell != nullptr ? cell->data(grid_role::kFilledValue) : QVariant();
}

QVariant SettingsGrid::Value(int row, int col) const {
  const QTableWidgetItem* cell = Item(row, col);
  return cell != nullptr ? cell->data(grid_role::kValue) : QVariant();
}

void SettingsGrid::SetRules(std::unique_ptr<GridRules> rules) { rules_ = std::move(rules); }

void SettingsGrid::SetEditedCell(int row, int col, const QString& text, const QVariant& value) {
  QTableWidgetItem* cell = Item(row, col);
  if (cell == nullptr || Kind(row, col) == CellKind::Unused) return;
  cell->setData(grid_role::kValue, value);
  cell->setText(text);
}

void SettingsGrid::MarkInvalid(int row, int col, const QString& reason) {
  QTableWidgetItem* cell = Item(row, col);
  if (cell == nullptr || State(row, col) == CellState::Unused) return;
  if (reason.isEmpty()) {
    if (State(row, col) == CellState::Invalid) {
      ApplyCellState(*cell, ShowsEdit(*cell) ? CellState::Edited : CellState::Normal);
    }
    return;
  }
  // The text and the reason first: the state's own change finds them.
  cell->setData(grid_role::kInvalidText, cell->text());
  cell->setData(Qt::ToolTipRole, reason);
  ApplyCellState(*cell, CellState::Invalid);
}

bool SettingsGrid::HasInvalidCell(int onlyCol) const {
  for (int row = fixedRows_; row < Rows(); ++row) {
    for (int col = fixedCols_; col < Cols(); ++col) {
      if (onlyCol >= 0 && col != onlyCol) continue;
      if (State(row, col) == CellState::Invalid) return true;
    }
  }
  return false;
}

void SettingsGrid::SetChecked(int row, int col, bool checked) {
  QTableWidgetItem* cell = Item(row, col);
  if (cell == nullptr || Kind(row, col) != CellKind::Check) return;
  cell->setData(grid_role::kValue, checked);
  cell->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void SettingsGrid::ClearEditMarks() {
  for (int r = 0; r < rowCount(); ++r) {
    for (int c = 0; c < columnCount(); ++c) {
      QTableWidgetItem* cell = item(r, c);
      if (cell == nullptr || cell->data(grid_role::kState).toInt() != int(CellState::Edited)) {
        continue;
      }
      cell->setData(grid_role::kFilledText, cell->text());
      cell->setData(grid_role::kFilledValue, cell->data(grid_role::kValue));
      ApplyCellState(*cell, CellState::Normal);
    }
  }
}

bool SettingsGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  const int row = index.row() + fixedRows_;
  const int col = index.column() + fixedCols_;
  const bool opensEditor = trigger != NoEditTriggers && trigger != CurrentChanged;
  if (opensEditor && index.isValid() && Kind(row, col) != CellKind::Check &&
      (rules_ == nullptr || Kind(row, col) == CellKind::Unused || !rules_->Editable(*this, row, col))) {
    return false;
  }
  return QTableWidget::edit(index, trigger, event);
}

bool SettingsGrid::IsChecked(int row, int col) const {
  const QTableWidgetItem* cell = Item(row, col);
  return cell != nullptr && (cell->flags() & Qt::ItemIsUserCheckable) &&
         cell->checkState() == Qt::Checked;
}

QColor SettingsGrid::Background(int row, int col) const {
  if (IsCaptionCell(row, col)) return FixedCellColour();
  const QTableWidgetItem* cell = Item(row, col);
  const QVariant brush = cell != nullptr ? cell->data(Qt::BackgroundRole) : QVariant();
  return brush.isValid() ? brush.value<QBrush>().color() : palette().color(QPalette::Base);
}

void SettingsGrid::SetColumnHidden(int col, bool hidden) {
  if (col >= fixedCols_ && col < Cols()) setColumnHidden(col - fixedCols_, hidden);
}

void SettingsGrid::SetColumnStretch(int col) {
  if (col >= fixedCols_ && col < Cols()) {
    horizontalHeader()->setSectionResizeMode(col - fixedCols_, QHeaderView::Stretch);
  }
}

void SettingsGrid::StretchAllColumns() {
  horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void SettingsGrid::SetColumnFitsContents(int col) {
  if (col >= fixedCols_ && col < Cols()) {
    horizontalHeader()->setSectionResizeMode(col - fixedCols_, QHeaderView::ResizeToContents);
  }
}

void SettingsGrid::SetColumnFixedWidth(int col, int width) {
  if (col < fixedCols_ || col >= Cols()) return;
  horizontalHeader()->setSectionResizeMode(col - fixedCols_, QHeaderView::Fixed);
  setColumnWidth(col - fixedCols_, width);
}

void SettingsGrid::SetCaptionColumnShare(double share) {
  captionShare_ = std::clamp(share, 0.0, 0.9);
  ApplyCaptionShare();
}

void SettingsGrid::resizeEvent(QResizeEvent* event) {
  QTableWidget::resizeEvent(event);
  ApplyCaptionShare();
}

void SettingsGrid::changeEvent(QEvent* event) {
  QTableWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) ApplyRowHeight();
}

void SettingsGrid::ApplyRowHeight() {
  // One line of text with a little air, whatever the configured font.
  constexpr int kPadding = 6;
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kPadding);
}

void SettingsGrid::ApplyCaptionShare() {
  if (captionShare_ <= 0.0 || fixedCols_ == 0) return;
  verticalHeader()->setFixedWidth(static_cast<int>(width() * captionShare_));
}

void SettingsGrid::OnItemChanged(QTableWidgetItem* changed) {
  if (changed == nullptr) return;
  const auto state = static_cast<CellState>(changed->data(grid_role::kState).toInt());
  if (state == CellState::Unused) return;
  // A refused entry stays marked until its text changes.
  if (state == CellState::Invalid && changed->text() == changed->data(grid_role::kInvalidText).toString()) {
    return;
  }
  if (static_cast<CellKind>(changed->data(grid_role::kKind).toInt()) == CellKind::Check) {
    OnCheckChanged(*changed);
  }
  const CellState now = ShowsEdit(*changed) ? CellState::Edited : CellState::Normal;
  // Applying the state changes the item again; the second pass finds it equal.
  if (now != state) ApplyCellState(*changed, now);
}

// A toggled check box: the rules may refuse it (the box flips back with a
// beep) and may change other boxes, which arrive here set already.
void SettingsGrid::OnCheckChanged(QTableWidgetItem& cell) {
  const bool checked = cell.checkState() == Qt::Checked;
  if (inCheckChange_ || checked == cell.data(grid_role::kValue).toBool()) return;
  const int row = cell.row() + fixedRows_;
  const int col = cell.column() + fixedCols_;
  inCheckChange_ = true;
  if (rules_ != nullptr && !rules_->AcceptsCheck(*this, row, col, checked)) {
    QApplication::beep();
    cell.setCheckState(checked ? Qt::Unchecked : Qt::Checked);
  } else {
    cell.setData(grid_role::kValue, checked);
    if (rules_ != nullptr) rules_->AfterCheck(*this, row, col, checked);
  }
  inCheckChange_ = false;
}

}  // namespace kv
