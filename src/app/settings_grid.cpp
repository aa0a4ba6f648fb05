#include "app/settings_grid.h"

#include <QHeaderView>
#include <algorithm>
#include <QResizeEvent>

#include "protocol/format_gas_value.h"

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

CellContent TextCell(const QString& text, const QVariant& value) {
  return {CellKind::Text, text, value, {}};
}

CellContent TextCell(const std::string& latin1) {
  const QString text = QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
  return TextCell(text, text);
}

CellContent NumberCell(long long number) { return TextCell(QString::number(number), number); }

CellContent PlainNumberCell(float number) { return TextCell(PlainNumber(number), number); }

CellContent GasValueCell(float value, int decimals) {
  return TextCell(QString::fromLatin1(FormatGasValue(value, decimals)), value);
}

CellContent CheckCell(bool checked, const QString& text) {
  return {CellKind::Check, text, checked, {}};
}

CellContent ChoiceCell(const QString& list, int index) {
  return {CellKind::Choice, ChoiceItem(list, index), index, list};
}

CellContent UnusedCell(const QString& text) { return {CellKind::Unused, text, {}, {}}; }

CellContent DashesCell() { return UnusedCell(kDashes); }

QString ChoiceItem(const QString& list, int index) {
  const QStringList items = list.split(QLatin1Char('|'));
  if (index < 0 || index >= items.size()) return {};
  return items[index];
}

QString PlainNumber(float number) {
  return QString::number(static_cast<double>(number), 'g', 7);
}

void ApplyCellState(QTableWidgetItem& item, CellState state) {
  item.setData(grid_role::kState, static_cast<int>(state));
  switch (state) {
    case CellState::Unused:
      item.setBackground(SettingsGrid::FixedCellColour());
      break;
    case CellState::Edited:
      item.setBackground(SettingsGrid::EditedCellColour());
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
  connect(this, &QTableWidget::itemChanged, this, &SettingsGrid::OnItemChanged);
  ApplyRowHeight();
}

QColor SettingsGrid::FixedCellColour() { return {224, 224, 224}; }

QColor SettingsGrid::EditedCellColour() { return {255, 255, 192}; }

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
  const CellState now = ShowsEdit(*changed) ? CellState::Edited : CellState::Normal;
  // Applying the state changes the item again; the second pass finds it equal.
  if (now != state) ApplyCellState(*changed, now);
}

}  // namespace kv
