#include "app/info_pane.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>

namespace kv {
namespace {

QColor ColourOfLine(const InfoPane& pane, int line) {
  const QTextBlock block = pane.document()->findBlockByNumber(line);
  QTextCursor cursor(block);
  cursor.movePosition(QTextCursor::NextCharacter);
  return cursor.charFormat().foreground().color();
}

TEST(InfoPane, AppendsColouredLinesAndKeepsTheCaretAtTheEnd) {
  InfoPane pane;
  pane.AppendInfo(QStringLiteral("first"), info_colour::kProgress);
  pane.AppendInfo(QStringLiteral("second"), info_colour::kFailure);
  EXPECT_EQ(pane.toPlainText(), "first\nsecond\n");
  EXPECT_EQ(ColourOfLine(pane, 0), QColor(0, 192, 0));
  EXPECT_EQ(ColourOfLine(pane, 1), QColor(255, 0, 0));
  EXPECT_TRUE(pane.textCursor().atEnd());
  EXPECT_TRUE(pane.isReadOnly());
  EXPECT_EQ(pane.objectName(), "rtbInfo");
}

TEST(InfoPane, CrLfInsideATextIsOneLineBreak) {
  InfoPane pane;
  pane.AppendInfo(QStringLiteral("No Response.\r\n"), info_colour::kRelayed);
  EXPECT_EQ(pane.toPlainText(), "No Response.\n\n");
  // Each break counts as CR LF.
  EXPECT_EQ(pane.CharacterCount(), 12 + 4);
}

TEST(InfoPane, EmptiesItselfOnlyOncePastTheLimit) {
  struct Case {
    int length;
    bool keepsOldText;
  };
  for (const Case c : {Case{8192, true}, Case{8193, false}}) {
    InfoPane pane;
    pane.setPlainText(QString(c.length, QLatin1Char('x')));
    ASSERT_EQ(pane.CharacterCount(), c.length);
    pane.AppendInfo(QStringLiteral("new line"), info_colour::kProgress);
    const QString expected =
        (c.keepsOldText ? QString(c.length, QLatin1Char('x')) : QString()) + "new line\n";
    EXPECT_EQ(pane.toPlainText(), expected) << c.length;
  }
}

TEST(InfoPane, ClearMenuItemEmptiesThePane) {
  InfoPane pane;
  pane.AppendInfo(QStringLiteral("something"), info_colour::kProgress);
  QAction* clear = pane.ContextMenu()->findChild<QAction*>(QStringLiteral("mnuClear"));
  if (clear == nullptr) clear = pane.findChild<QAction*>(QStringLiteral("mnuClear"));
  ASSERT_NE(clear, nullptr);
  ASSERT_TRUE(pane.ContextMenu()->actions().contains(clear));
  clear->trigger();
  EXPECT_TRUE(pane.toPlainText().isEmpty());
}

}  // namespace
}  // namespace kv
