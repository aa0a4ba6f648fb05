#include "app/grid_editor.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QToolTip>

#include "app/grid_rules.h"
#include "app/settings_grid.h"

namespace kv {
namespace {

constexpr const char* kRowProperty = "gridRow";
constexpr const char* kColProperty = "gridCol";

bool IsCommitKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab ||
         key == Qt::Key_Backtab;
}

// The key as the rules see it: its Latin-1 character, Backspace as '\b';
// 0 for keys that type nothing (arrows, function keys) and for characters
// outside Latin-1, which reach the editor so that the entry is refused with
// its reason.
char TypedKey(const QKeyEvent& key) {
  if (key.key() == Qt::Key_Backspace) return '\b';
  const QString text = key.text();
  if (text.size() != 1 || !text[0].isPrint()) return 0;
  const char16_t unicode = text[0].unicode();
  return unicode <= 0xFF ? static_cast<char>(unicode) : char{0};
}

// The rules judge Latin-1 text; a character outside it is refused before
// they see it, never turned into '?'.
rules::EditCheck CheckTyped(const GridRules& rules, const SettingsGrid& grid, int row, int col,
                            const QString& text) {
  if (const std::optional<QChar> foreign = FirstNonLatin1(text)) {
    return rules::EditCheck::Refuse(NonLatin1Reason(*foreign));
  }
  return rules.Check(grid, row, col, ToLatin1(text));
}

}  // namespace

QString EditorText(const QWidget& editor) {
  if (const auto* combo = qobject_cast<const QComboBox*>(&editor)) return combo->currentText();
  if (const auto* line = qobject_cast<const QLineEdit*>(&editor)) return line->text();
  return {};
}

rules::EditCheck EnterText(SettingsGrid& grid, int row, int col, const QString& text) {
  GridRules* rules = grid.Rules();
  if (rules == nullptr || !rules->Editable(grid, row, col)) {
    return rules::EditCheck::Refuse("this cell is not editable");
  }
  rules::EditCheck check = CheckTyped(*rules, grid, row, col, text);
  if (!check.accepted) return check;
  QVariant value = ToQString(check.text);
  if (check.number) {
    value = grid.Kind(row, col) == CellKind::Choice ? QVariant(static_cast<int>(*check.number))
                                                    : QVariant(*check.number);
  }
  grid.SetEditedCell(row, col, ToQString(check.text), value);
  rules->AfterEdit(grid, row, col);
  emit grid.EntryAccepted(row, col);
  return check;
}

GridEditDelegate::GridEditDelegate(SettingsGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

int GridEditDelegate::RowOf(const QWidget& editor) const {
  return editor.property(kRowProperty).toInt();
}

int GridEditDelegate::ColOf(const QWidget& editor) const {
  return editor.property(kColProperty).toInt();
}

QWidget* GridEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                        const QModelIndex& index) const {
  const int row = index.row() + grid_.FixedRows();
  const int col = index.column() + grid_.FixedCols();
  const GridRules* rules = grid_.Rules();
  const rules::ChoiceItems choices =
      rules != nullptr ? rules->Choices(grid_, row, col) : rules::ChoiceItems{};
  QWidget* editor = nullptr;
  if (!choices.empty()) {
    auto* combo = new QComboBox(parent);
    for (const std::string& item : choices) combo->addItem(ToQString(item));
    combo->setEditable(!rules->ChoicesOnly(row, col));
    // Keys typed into an editable list reach its line edit first.
    if (combo->lineEdit() != nullptr) combo->lineEdit()->installEventFilter(const_cast<GridEditDelegate*>(this));
    editor = combo;
  } else {
    editor = new QLineEdit(parent);
  }
  editor->setProperty(kRowProperty, row);
  editor->setProperty(kColProperty, col);
  editor->setAccessibleName(grid_.accessibleName());
  return editor;
}

QString DrawnText(const QModelIndex& index) {
  const QString text = index.data(Qt::DisplayRole).toString();
  return index.data(grid_role::kMasked).toBool() ? QString(text.size(), QLatin1Char('*')) : text;
}

void GridEditDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  if (option->features.testFlag(QStyleOptionViewItem::HasDisplay)) option->text = DrawnText(index);
}

void GridEditDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  const QString text = index.data(Qt::DisplayRole).toString();
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    const int item = combo->findText(text);
    if (item >= 0) combo->setCurrentIndex(item);
    if (combo->isEditable()) {
      combo->setEditText(text);
      // As in a line edit, the first key typed replaces the whole text.
      combo->lineEdit()->selectAll();
    }
    return;
  }
  if (auto* line = qobject_cast<QLineEdit*>(editor)) line->setText(text);
}

void GridEditDelegate::setModelData(QWidget* editor, QAbstractItemModel* /*model*/,
                                    const QModelIndex& /*index*/) const {
  if (editor != nullptr) (void)EnterText(grid_, RowOf(*editor), ColOf(*editor), EditorText(*editor));
}

bool GridEditDelegate::Accepts(QWidget& editor) const {
  const GridRules* rules = grid_.Rules();
  if (rules == nullptr) return false;
  const rules::EditCheck check = CheckTyped(*rules, grid_, RowOf(editor), ColOf(editor), EditorText(editor));
  const QString reason = check.accepted ? QString() : ToQString(check.reason);
  editor.setToolTip(reason);
  editor.setStatusTip(reason);
  if (!check.accepted) {
    QToolTip::showText(editor.mapToGlobal(QPoint(0, editor.height())), reason, &editor);
  }
  return check.accepted;
}

bool GridEditDelegate::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || event->type() != QEvent::KeyPress) {
    // The line edit inside a list leaves focus handling to its list.
    if (widget != nullptr && qobject_cast<QComboBox*>(widget->parentWidget()) != nullptr) {
      return false;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
  }
  // The editor is the list around a list's line edit.
  QWidget* editor = widget;
  if (auto* combo = qobject_cast<QComboBox*>(widget->parentWidget())) editor = combo;
  const auto& key = static_cast<const QKeyEvent&>(*event);
  if (key.key() == Qt::Key_Escape) {
    emit closeEditor(editor, RevertModelCache);
    return true;
  }
  if (IsCommitKey(key.key())) {
    if (!Accepts(*editor)) {
      QApplication::beep();
      return true;
    }
    emit commitData(editor);
    emit closeEditor(editor, NoHint);
    if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) {
      const bool forward = key.key() == Qt::Key_Tab;
      QPointer<SettingsGrid> grid(&grid_);
      QTimer::singleShot(0, &grid_, [grid, forward] {
        if (grid != nullptr) grid->LeaveGrid(forward);
      });
    }
    return true;
  }
  const char typed = TypedKey(key);
  const GridRules* rules = grid_.Rules();
  if (typed != 0 && rules != nullptr && !rules->AcceptsKey(RowOf(*editor), ColOf(*editor), typed)) {
    QApplication::beep();
    return true;
  }
  return QStyledItemDelegate::eventFilter(watched, event);
}

}  // namespace kv
