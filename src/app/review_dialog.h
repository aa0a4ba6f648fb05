#pragma once
// The review before Transmit: every setting that will be written, by the
// name the window shows, with its old and new value, in write order; the
// question below, and Transmit or Cancel. Settings written with the value
// already held are hidden behind a count that shows them.
#include <QDialog>
#include <vector>

#include "app/dialogs.h"

class QCheckBox;
class QPushButton;
class QTableWidget;

namespace kv {

class ReviewDialog final : public QDialog {
  Q_OBJECT

 public:
  ReviewDialog(const QString& title, const QString& question, const std::vector<ReviewLine>& lines,
               QWidget* parent = nullptr);

  QTableWidget* Table() const { return table_; }
  QPushButton* TransmitButton() const { return transmit_; }
  // "926 unchanged, show them"; nullptr when every row is a change.
  QCheckBox* ShowUnchanged() const { return showUnchanged_; }
  int VisibleRows() const;

 private:
  void ShowUnchangedRows(bool show);

  QTableWidget* table_;
  QPushButton* transmit_;
  QCheckBox* showUnchanged_ = nullptr;
  std::vector<bool> unchanged_;
};

}  // namespace kv
