#pragma once
// The settings grids driven from the keyboard, offscreen: the keys go where
// the keyboard is, the grid first and then the editor it opens.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include "app/settings_grid.h"

namespace kv::test {

// Brings the grid's pages to the front and puts the keyboard on the cell.
inline void FocusCell(SettingsGrid& grid, int row, int col) {
  for (QWidget* child = &grid; child->parentWidget() != nullptr; child = child->parentWidget()) {
    // A page sits in the tab set's stack, whose parent is the tab set.
    if (auto* tabs = qobject_cast<QTabWidget*>(child->parentWidget()->parentWidget())) {
      tabs->setCurrentWidget(child);
    }
  }
  grid.setFocus();
  grid.SetCurrentCell(row, col);
  QCoreApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), &grid);
}

// A character outside Latin-1 goes as the text of an unknown key, as an input
// method delivers it (QTest::keyClicks would drop it).
inline void TypeKeys(const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() <= 0xFF) {
      QTest::keyClicks(QApplication::focusWidget(), QString(c));
    } else {
      QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c),
                          Qt::NoModifier);
    }
  }
}

inline void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  QCoreApplication::processEvents();
}

// The editor open in the grid (the list around a list's line edit), or null.
inline QWidget* OpenEditor(const SettingsGrid& grid) {
  QWidget* focus = QApplication::focusWidget();
  if (focus == nullptr || focus == &grid || !grid.isAncestorOf(focus)) return nullptr;
  if (auto* combo = qobject_cast<QComboBox*>(focus->parentWidget())) return combo;
  return focus;
}

inline QString OpenEditorText(const QWidget* editor) {
  if (const auto* combo = qobject_cast<const QComboBox*>(editor)) return combo->currentText();
  if (const auto* line = qobject_cast<const QLineEdit*>(editor)) return line->text();
  return {};
}

}  // namespace kv::test
