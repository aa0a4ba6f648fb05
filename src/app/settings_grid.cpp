#include "app/settings_grid.h"

#include <QHeaderView>
#include <QResizeEvent>
#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QFont>

#include "app/grid_editor.h"
#include "app/grid_model.h"
#include "app/grid_rules.h"

namespace kv {

QString CodeMeaning(const QString& text) {
  const QString code = text.trimmed();
  if (code == QStringLiteral("*****")) return QStringLiteral("not used");
  if (code == QStringLiteral("?????")) return QStringLiteral("not adjustable");
  if (code == kDashes) return QStringLiteral("no data");
  return {};
}

QColor FixedCellColour() { return {224, 224, 224}; }

QColor EditedCellColour() { return {255, 255, 192}; }

QColor InvalidCellColour() { return {255, 0, 0}; }

SettingsGrid::SettingsGrid(const QString& name, QWidget* parent)
    : QTableView(parent), model_(new GridModel(this)) {
  setObjectName(name);
  setModel(model_);
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
  model_->SetFont(font());
  model_->SetCheckFilter([this](int row, int col, bool checked) { return AcceptsCheck(row, col, checked); });
  connect(model_, &GridModel::CheckToggled, this, [this](int row, int col, bool checked) {
    if (rules_ != nullptr) rules_->AfterCheck(*this, row + fixedRows_, col + fixedCols_, checked);
  });
  ApplyRowHeight();
}

SettingsGrid::~SettingsGrid() = default;

int SettingsGrid::Rows() const { return model_->rowCount() + fixedRows_; }

int SettingsGrid::Cols() const { return model_->columnCount() + fixedCols_; }

void SettingsGrid::Reset(int rows, int cols, int fixedRows, int fixedCols) {
  fixedRows_ = std::clamp(fixedRows, 0, 1);
  fixedCols_ = std::clamp(fixedCols, 0, 1);
  model_->Reset(rows - fixedRows_, cols - fixedCols_);
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
    model_->SetHeader(Qt::Horizontal, col - fixedCols_, text);
  } else {
    model_->SetHeader(Qt::Vertical, row - fixedRows_, text);
  }
}

void SettingsGrid::SetCell(int row, int col, const CellContent& content) {
  if (row < 0 || col < 0 || row >= Rows() || col >= Cols()) return;
  if (IsCaptionCell(row, col)) {
    SetCaption(row, col, content.text);
    return;
  }
  model_->Fill(row - fixedRows_, col - fixedCols_, content);
}

QModelIndex SettingsGrid::Index(int row, int col) const {
  if (row < fixedRows_ || col < fixedCols_) return {};
  return model_->index(row - fixedRows_, col - fixedCols_);
}

QString SettingsGrid::Text(int row, int col) const {
  if (row < 0 || col < 0 || row >= Rows() || col >= Cols()) return {};
  if (row < fixedRows_ && col < fixedCols_) return corner_;
  if (row < fixedRows_) return model_->Header(Qt::Horizontal, col - fixedCols_);
  if (col < fixedCols_) return model_->Header(Qt::Vertical, row - fixedRows_);
  const GridCell* cell = model_->Cell(row - fixedRows_, col - fixedCols_);
  return cell != nullptr ? cell->text : QString();
}

CellKind SettingsGrid::Kind(int row, int col) const {
  const GridCell* cell = model_->Cell(row - fixedRows_, col - fixedCols_);
  if (IsCaptionCell(row, col)) return CellKind::Unused;
  return cell != nullptr ? cell->kind : CellKind::Text;
}

CellState SettingsGrid::State(int row, int col) const {
  const GridCell* cell = model_->Cell(row - fixedRows_, col - fixedCols_);
  if (IsCaptionCell(row, col)) return CellState::Unused;
  return cell != nullptr ? cell->state : CellState::Normal;
}

QVariant SettingsGrid::FilledValue(int row, int col) const {
  const GridCell* cell = IsCaptionCell(row, col) ? nullptr : model_->Cell(row - fixedRows_, col - fixedCols_);
  return cell != nullptr ? cell->filledValue : QVariant();
}

QVariant SettingsGrid::Value(int row, int col) const {
  const GridCell* cell = IsCaptionCell(row, col) ? nullptr : model_->Cell(row - fixedRows_, col - fixedCols_);
  return cell != nullptr ? cell->value : QVariant();
}

bool SettingsGrid::HasEdit(int row, int col) const {
  const GridCell* cell = IsCaptionCell(row, col) ? nullptr : model_->Cell(row - fixedRows_, col - fixedCols_);
  return cell != nullptr && cell->overlaid;
}

bool SettingsGrid::IsChecked(int row, int col) const {
  return Kind(row, col) == CellKind::Check && Value(row, col).toBool();
}

void SettingsGrid::SetRules(std::unique_ptr<GridRules> rules) { rules_ = std::move(rules); }

void SettingsGrid::SetEditedCell(int row, int col, const QString& text, const QVariant& value) {
  if (IsCaptionCell(row, col)) return;
  model_->SetEdited(row - fixedRows_, col - fixedCols_, text, value);
}

void SettingsGrid::MaskCell(int row, int col) {
  if (IsCaptionCell(row, col)) return;
  model_->SetMasked(row - fixedRows_, col - fixedCols_);
}

void SettingsGrid::MarkInvalid(int row, int col, const QString& reason) {
  if (IsCaptionCell(row, col)) return;
  model_->MarkInvalid(row - fixedRows_, col - fixedCols_, reason);
}

bool SettingsGrid::HasInvalidCell(int onlyCol) const {
  if (onlyCol >= 0 && onlyCol < fixedCols_) return false;
  return model_->HasInvalidCell(onlyCol < 0 ? -1 : onlyCol - fixedCols_);
}

void SettingsGrid::SetChecked(int row, int col, bool checked) {
  if (IsCaptionCell(row, col)) return;
  model_->SetChecked(row - fixedRows_, col - fixedCols_, checked);
}

void SettingsGrid::ClearEditMarks() { model_->ClearEditMarks(); }

bool SettingsGrid::AcceptsCheck(int bodyRow, int bodyCol, bool checked) {
  if (rules_ == nullptr || rules_->AcceptsCheck(*this, bodyRow + fixedRows_, bodyCol + fixedCols_, checked)) {
    return true;
  }
  QApplication::beep();
  return false;
}

void SettingsGrid::SetCurrentCell(int row, int col) { setCurrentIndex(Index(row, col)); }

int SettingsGrid::CurrentRow() const {
  return currentIndex().isValid() ? currentIndex().row() + fixedRows_ : -1;
}

bool SettingsGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  const int row = index.row() + fixedRows_;
  const int col = index.column() + fixedCols_;
  const bool opensEditor = trigger != NoEditTriggers && trigger != CurrentChanged;
  if (opensEditor && index.isValid() && Kind(row, col) != CellKind::Check &&
      (rules_ == nullptr || Kind(row, col) == CellKind::Unused || !rules_->Editable(*this, row, col))) {
    return false;
  }
  return QTableView::edit(index, trigger, event);
}

QColor SettingsGrid::Background(int row, int col) const {
  if (IsCaptionCell(row, col)) return FixedCellColour();
  const QVariant brush = Index(row, col).data(Qt::BackgroundRole);
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
  QTableView::resizeEvent(event);
  ApplyCaptionShare();
}

void SettingsGrid::changeEvent(QEvent* event) {
  QTableView::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    ApplyRowHeight();
    model_->SetFont(font());
  }
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

}  // namespace kv
