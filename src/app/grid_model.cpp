#include "app/grid_model.h"

#include <QBrush>

namespace kv {
namespace {

bool ShowsEdit(const GridCell& cell) {
  if (cell.kind == CellKind::Check) return cell.value.toBool() != cell.filledValue.toBool();
  return cell.text != cell.filledText;
}

QVariant BackgroundOf(CellState state) {
  switch (state) {
    case CellState::Unused:
      return QBrush(FixedCellColour());
    case CellState::Edited:
      return QBrush(EditedCellColour());
    case CellState::Invalid:
      return QBrush(InvalidCellColour());
    case CellState::Normal:
      break;
  }
  return {};
}

}  // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

void GridModel::Reset(int rows, int cols) {
  beginResetModel();
  rows_ = std::max(rows, 0);
  cols_ = std::max(cols, 0);
  cells_.assign(static_cast<std::size_t>(rows_ * cols_), GridCell{});
  // Empty captions, so that captions nobody writes stay blank instead of
  // showing running numbers.
  columnHeaders_.assign(static_cast<std::size_t>(cols_), QString());
  rowHeaders_.assign(static_cast<std::size_t>(rows_), QString());
  endResetModel();
}

void GridModel::SetHeader(Qt::Orientation orientation, int section, const QString& text) {
  std::vector<QString>& headers = orientation == Qt::Horizontal ? columnHeaders_ : rowHeaders_;
  if (section < 0 || section >= static_cast<int>(headers.size())) return;
  headers[static_cast<std::size_t>(section)] = text;
  emit headerDataChanged(orientation, section, section);
}

QString GridModel::Header(Qt::Orientation orientation, int section) const {
  const std::vector<QString>& headers = orientation == Qt::Horizontal ? columnHeaders_ : rowHeaders_;
  if (section < 0 || section >= static_cast<int>(headers.size())) return {};
  return headers[static_cast<std::size_t>(section)];
}

GridCell* GridModel::MutableCell(int row, int col) {
  if (row < 0 || col < 0 || row >= rows_ || col >= cols_) return nullptr;
  return &cells_[static_cast<std::size_t>(row * cols_ + col)];
}

const GridCell* GridModel::Cell(int row, int col) const {
  if (row < 0 || col < 0 || row >= rows_ || col >= cols_) return nullptr;
  const GridCell& cell = cells_[static_cast<std::size_t>(row * cols_ + col)];
  return cell.filled ? &cell : nullptr;
}

void GridModel::Changed(int row, int col) {
  const QModelIndex changed = index(row, col);
  emit dataChanged(changed, changed);
}

void GridModel::SetMasked(int row, int col) {
  GridCell* cell = MutableCell(row, col);
  if (cell == nullptr) return;
  cell->masked = true;
  Changed(row, col);
}

void GridModel::Fill(int row, int col, const CellContent& content) {
  GridCell* cell = MutableCell(row, col);
  if (cell == nullptr) return;
  *cell = GridCell{};
  cell->filled = true;
  cell->kind = content.kind;
  cell->list = content.kind == CellKind::Choice ? content.list : QString();
  cell->filledText = cell->text = content.text;
  cell->filledValue = cell->value = content.value;
  if (content.kind == CellKind::Check) cell->filledValue = cell->value = content.value.toBool();
  cell->state = content.kind == CellKind::Unused ? CellState::Unused : CellState::Normal;
  Changed(row, col);
}

void GridModel::UpdateState(GridCell& cell) const {
  if (cell.state == CellState::Unused) return;
  if (cell.state == CellState::Invalid && cell.text == cell.invalidText) return;
  cell.state = ShowsEdit(cell) ? CellState::Edited : CellState::Normal;
  cell.reason.clear();
  cell.invalidText.clear();
}

void GridModel::SetEdited(int row, int col, const QString& text, const QVariant& value) {
  GridCell* cell = MutableCell(row, col);
  if (cell == nullptr || !cell->filled || cell->kind == CellKind::Unused) return;
  cell->value = value;
  cell->text = text;
  cell->overlaid = true;
  UpdateState(*cell);
  Changed(row, col);
}

void GridModel::SetText(int row, int col, const QString& text) {
  GridCell* cell = MutableCell(row, col);
  if (cell == nullptr || !cell->filled) return;
  cell->text = text;
  cell->overlaid = true;
  UpdateState(*cell);
  Changed(row, col);
}

void GridModel::SetChecked(int row, int col, bool checked) {
  GridCell* cell = MutableCell(row, col);
  if (cell == nullptr || !cell->filled || cell->kind != CellKind::Check) return;
  cell->overlaid = cell->overlaid || cell->value.toBool() != checked;
  cell->value = checked;
  UpdateState(*cell);
  Changed(row, col);
}

void GridModel::MarkInvalid(int row, int col, const QString& reason) {
  GridCell* cell = MutableCell(row, col);
  if (cell == nullptr || !cell->filled || cell->state == CellState::Unused) return;
  if (reason.isEmpty()) {
    if (cell->state != CellState::Invalid) return;
    cell->state = CellState::Normal;
    UpdateState(*cell);
  } else {
    cell->state = CellState::Invalid;
    cell->reason = reason;
    cell->invalidText = cell->text;
  }
  Changed(row, col);
}

bool GridModel::HasInvalidCell(int onlyCol) const {
  for (int row = 0; row < rows_; ++row) {
    for (int col = 0; col < cols_; ++col) {
      if (onlyCol >= 0 && col != onlyCol) continue;
      const GridCell* cell = Cell(row, col);
      if (cell != nullptr && cell->state == CellState::Invalid) return true;
    }
  }
  return false;
}

void GridModel::ClearEditMarks() {
  for (int row = 0; row < rows_; ++row) {
    for (int col = 0; col < cols_; ++col) {
      GridCell* cell = MutableCell(row, col);
      if (cell->state != CellState::Edited) continue;
      cell->filledText = cell->text;
      cell->filledValue = cell->value;
      cell->state = CellState::Normal;
      Changed(row, col);
    }
  }
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

QVariant GridModel::data(const QModelIndex& index, int role) const {
  const GridCell* cell = Cell(index.row(), index.column());
  if (cell == nullptr) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return cell->text;
    case Qt::CheckStateRole:
      if (cell->kind != CellKind::Check) return {};
      return cell->value.toBool() ? Qt::Checked : Qt::Unchecked;
    case Qt::BackgroundRole:
      return BackgroundOf(cell->state);
    case Qt::FontRole: {
      if (cell->state != CellState::Edited) return {};
      QFont bold = font_;
      bold.setBold(true);
      return bold;
    }
    case Qt::ToolTipRole: {
      if (cell->state == CellState::Invalid) return cell->reason;
      const QString meaning = CodeMeaning(cell->text);
      return meaning.isEmpty() ? QVariant() : QVariant(meaning);
    }
    case grid_role::kFilledValue:
      return cell->filledValue;
    case grid_role::kFilledText:
      return cell->filledText;
    case grid_role::kState:
      return static_cast<int>(cell->state);
    case grid_role::kChoiceList:
      return cell->kind == CellKind::Choice ? QVariant(cell->list) : QVariant();
    case grid_role::kKind:
      return static_cast<int>(cell->kind);
    case grid_role::kValue:
      return cell->value;
    case grid_role::kMasked:
      return cell->masked;
    case grid_role::kInvalidText:
      return cell->state == CellState::Invalid ? QVariant(cell->invalidText) : QVariant();
    default:
      return {};
  }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  return Header(orientation, section);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  const GridCell* cell = Cell(index.row(), index.column());
  constexpr Qt::ItemFlags kShown = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (cell == nullptr) return kShown;
  switch (cell->kind) {
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

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  const GridCell* cell = Cell(index.row(), index.column());
  if (cell == nullptr || cell->kind == CellKind::Unused) return false;
  if (role == Qt::EditRole) {
    SetText(index.row(), index.column(), value.toString());
    return true;
  }
  if (role != Qt::CheckStateRole || cell->kind != CellKind::Check) return false;
  const bool checked = value.toInt() == Qt::Checked;
  if (checked == cell->value.toBool()) return true;
  if (acceptsCheck_ && !acceptsCheck_(index.row(), index.column(), checked)) {
    Changed(index.row(), index.column());
    return false;
  }
  SetChecked(index.row(), index.column(), checked);
  emit CheckToggled(index.row(), index.column(), checked);
  return true;
}

}  // namespace kv
