#pragma once
// What the window's information pane shows, for the tests of the window on
// a simulated instrument.
#include <QColor>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>

#include "app/frm_main.h"
#include "app/info_pane.h"

namespace kv::test {

inline QStringList PaneLinesOf(const frmMain& window) {
  QStringList lines = window.findChild<InfoPane*>()->toPlainText().split(QLatin1Char('\n'));
  while (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
  return lines;
}

inline QString LastPaneLineOf(const frmMain& window) {
  const QStringList lines = PaneLinesOf(window);
  return lines.isEmpty() ? QString() : lines.back();
}

inline QColor LastLineColourOf(const frmMain& window) {
  const InfoPane* pane = window.findChild<InfoPane*>();
  QTextCursor cursor(pane->document()->lastBlock().previous());
  cursor.movePosition(QTextCursor::NextCharacter);
  return cursor.charFormat().foreground().color();
}

}  // namespace kv::test
