#include "app/transaction_runner.h"

#include <QTimer>
#include <QWidget>

#include "app/upload_dialog.h"
#include "common/messages.h"
#include "qtedge/latin1.h"

namespace kv {

TransactionRunner::TransactionRunner(uclTzif& link, const Clock& clock, QWidget& dialogParent)
    : QObject(&dialogParent), link_(link), clock_(clock), dialogParent_(dialogParent) {}

void TransactionRunner::SetBusy(bool busy) {
  busy_ = busy;
  emit BusyChanged(busy);
}

void TransactionRunner::Begin(int captionId, int messageId) {
  Begin(ToQString(FormatMessage(captionId)), ToQString(FormatMessage(messageId)));
}

void TransactionRunner::Begin(const QString& caption, const QString& message) {
  if (dialog_ == nullptr) {
    dialog_ = new frmUpload(&dialogParent_);
    connect(dialog_, &frmUpload::CancelRequested, this, [this] { link_.SetCancel(true); });
  }
  dialog_->Form_Load();
  dialog_->SetCaption(caption);
  dialog_->SetMessage(message);
  dialog_->show();
  dialog_->raise();
  SetBusy(true);
  started_ = clock_.Now();
}

bool TransactionRunner::Start(Transaction transaction, std::function<void(bool ok)> finished) {
  return link_.Start(std::move(transaction), [this, finished = std::move(finished)](bool ok) {
    QTimer::singleShot(0, this, [finished, ok] { finished(ok); });
  });
}

void TransactionRunner::End() {
  if (dialog_ != nullptr) dialog_->hide();
  SetBusy(false);
}

void TransactionRunner::ShowProgress(int done, int total) {
  if (dialog_ != nullptr) dialog_->SetProgress(done, total);
}

void TransactionRunner::ShowMessage(const QString& text) {
  if (dialog_ != nullptr) dialog_->SetMessage(text);
}

}  // namespace kv
