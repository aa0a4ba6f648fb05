#include "app/info_pane.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTextCursor>

namespace kv {

InfoPane::InfoPane(QWidget* parent)
    : QTextEdit(parent), mnuCls_(new QMenu(this)), mnuClear_(new QAction(tr("Clear"), this)) {
  setObjectName(QStringLiteral("rtbInfo"));
  setReadOnly(true);
  setAcceptRichText(false);
  mnuCls_->setObjectName(QStringLiteral("mnuCls"));
  mnuClear_->setObjectName(QStringLiteral("mnuClear"));
  mnuCls_->addAction(mnuClear_);
  connect(mnuClear_, &QAction::triggered, this, &QTextEdit::clear);
}

int InfoPane::CharacterCount() const {
  const QString text = toPlainText();
  return static_cast<int>(text.size() + text.count(QLatin1Char('\n')));
}

void InfoPane::AppendInfo(const QString& text, const QColor& colour) {
  if (CharacterCount() > kCharacterLimit) clear();
  QString line = text;
  line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  QTextCharFormat format;
  format.setForeground(colour);
  cursor.insertText(line + QLatin1Char('\n'), format);
  setTextCursor(cursor);
  ensureCursorVisible();
}

void InfoPane::contextMenuEvent(QContextMenuEvent* event) {
  mnuCls_->popup(event->globalPos());
  event->accept();
}

}  // namespace kv
