#pragma once
// frmUpload: the small window shown beside the main window while a read or a
// write runs. A caption, one message line, a progress bar fed by the
// transaction, and a cancel button. It never blocks: the caller shows it,
// starts the transaction and closes it when the transaction reports its end.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kv {

class frmUpload final : public QDialog {
  Q_OBJECT

 public:
  explicit frmUpload(QWidget* parent = nullptr);

  // Back to the state of a fresh dialog: caption and message "Now
  // Downloading", no progress yet, cancel button usable, Canceled false.
  void Form_Load();
  void SetCaption(const QString& caption) { setWindowTitle(caption); }
  void SetMessage(const QString& text);
  QString Message() const;
  // `done` of `total` steps; a total of 0 or less shows a busy bar.
  void SetProgress(int done, int total);

  bool Canceled() const { return canceled_; }
  void SetCanceled(bool canceled) { canceled_ = canceled; }

  QPushButton* CancelButton() const { return cmdUpload_; }
  QProgressBar* ProgressBar() const { return prgUpload_; }

 signals:
  // The user asked to abandon the running transaction.
  void CancelRequested();

 public slots:
  void cmdUpload_Click();
  // Closing the window or pressing Escape cancels like the button.
  void reject() override;

 private:
  QLabel* lblUpload_;
  QProgressBar* prgUpload_;
  QPushButton* cmdUpload_;
  bool canceled_ = false;
};

}  // namespace kv
