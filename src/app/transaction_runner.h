#pragma once
// TransactionRunner: how the main window runs one transaction on the link.
// It shows the progress dialog (frmUpload) with the transaction's caption,
// holds the busy state that locks the actions and closing, feeds the dialog
// the link's progress, and hands the transaction's end back from the event
// loop (never from inside the link's reception or tick that ended it).
#include <QObject>
#include <QString>
#include <functional>

#include "common/clock.h"
#include "link/link.h"

class QWidget;

namespace kv {

class frmUpload;

class TransactionRunner final : public QObject {
  Q_OBJECT

 public:
  // `dialogParent` owns the progress dialog, made on first use.
  TransactionRunner(uclTzif& link, const Clock& clock, QWidget& dialogParent);

  // A transaction (or live polling) runs: actions and closing are refused.
  bool Busy() const { return busy_; }
  // Busy without the progress dialog (power-off, short service steps, live polling).
  void SetBusy(bool busy);
  // Shows the progress dialog and becomes busy; the start time is taken now.
  void Begin(const QString& caption, const QString& message);
  void Begin(int captionId, int messageId);
  // Starts `transaction` on the link; `finished` runs from the event loop
  // once it ends. False when the link refused it (nothing runs; the caller
  // ends what it began).
  bool Start(Transaction transaction, std::function<void(bool ok)> finished);
  // Hides the progress dialog and is idle again.
  void End();

  // When the latest Begin was.
  DateTime Started() const { return started_; }
  // The progress dialog; null until the first Begin.
  frmUpload* Dialog() const { return dialog_; }
  void ShowProgress(int done, int total);
  void ShowMessage(const QString& text);

 signals:
  void BusyChanged(bool busy);

 private:
  uclTzif& link_;
  const Clock& clock_;
  QWidget& dialogParent_;
  frmUpload* dialog_ = nullptr;
  bool busy_ = false;
  DateTime started_;
};

}  // namespace kv
