#pragma once
// The review before Transmit: every setting that will be written, by the
// name the window shows, with its old and new value, in write order; the
// question below, and Transmit or Cancel.
#include <QDialog>
#include <vector>

#include "app/dialogs.h"

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

 private:
  QTableWidget* table_;
  QPushButton* transmit_;
};

}  // namespace kv
