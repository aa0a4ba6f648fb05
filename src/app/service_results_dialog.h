#pragma once
// A small read-only table of results (calibration status per channel, the
// calibration history) with an OK button.
#include <QDialog>
#include <QStringList>
#include <vector>

class QTableWidget;

namespace kv {

class ServiceResultsDialog final : public QDialog {
  Q_OBJECT

 public:
  ServiceResultsDialog(const QString& title, const QStringList& headers,
                       const std::vector<QStringList>& rows, QWidget* parent = nullptr);

  QTableWidget* Table() const { return table_; }

 private:
  QTableWidget* table_;
};

}  // namespace kv
