#include "app/dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>

#include "app/review_dialog.h"
#include "app/service_results_dialog.h"

namespace kv {
namespace {

QMessageBox::Icon ToQt(Dialogs::Icon icon) {
  switch (icon) {
    case Dialogs::Icon::Information:
      return QMessageBox::Information;
    case Dialogs::Icon::Question:
      return QMessageBox::Question;
    case Dialogs::Icon::Critical:
      return QMessageBox::Critical;
    case Dialogs::Icon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

void QtDialogs::Show(Icon icon, const QString& title, const QString& text) {
  QMessageBox box(ToQt(icon), title, text, QMessageBox::Ok, parent_);
  box.exec();
}

bool QtDialogs::Ask(Icon icon, const QString& title, const QString& text) {
  QMessageBox box(ToQt(icon), title, text, QMessageBox::Yes | QMessageBox::No, parent_);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::OpenFile(const QString& filter) {
  QFileDialog dialog(parent_, QString(), QString(), filter);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

QString DefaultSuffix(const QString& filter) {
  static const QRegularExpression firstPattern(QStringLiteral(R"(\*\.(\w+))"));
  const QRegularExpressionMatch match = firstPattern.match(filter);
  return match.hasMatch() ? match.captured(1) : QString();
}

QString QtDialogs::SaveFile(const QString& filter, const QString& suggestedName) {
  QFileDialog dialog(parent_, QString(), QString(), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QString suffix = QFileInfo(suggestedName).suffix();
  dialog.setDefaultSuffix(suffix.isEmpty() ? DefaultSuffix(filter) : suffix);
  if (!suggestedName.isEmpty()) dialog.selectFile(suggestedName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

QString QtDialogs::AskText(const QString& title, const QString& label, const QString& initial) {
  bool accepted = false;
  const QString text =
      QInputDialog::getText(parent_, title, label, QLineEdit::Normal, initial, &accepted);
  return accepted ? text.trimmed() : QString();
}

void QtDialogs::ShowTable(const QString& title, const QStringList& headers,
                          const std::vector<QStringList>& rows) {
  ServiceResultsDialog dialog(title, headers, rows, parent_);
  dialog.exec();
}

bool QtDialogs::Review(const QString& title, const QString& question,
                       const std::vector<ReviewLine>& lines) {
  ReviewDialog dialog(title, question, lines, parent_);
  return dialog.exec() == QDialog::Accepted;
}

QString MaintenanceFileFilter() {
  return QStringLiteral("KORVIN Maintenance Data(*.kvd);;All files (*.*)");
}

}  // namespace kv
