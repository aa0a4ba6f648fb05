#include "app/service_results_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kv {

ServiceResultsDialog::ServiceResultsDialog(const QString& title, const QStringList& headers,
                                           const std::vector<QStringList>& rows, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(this)) {
  setObjectName(QStringLiteral("dlgServiceResults"));
  setWindowTitle(title);
  table_->setObjectName(QStringLiteral("tblServiceResults"));
  table_->setColumnCount(static_cast<int>(headers.size()));
  table_->setHorizontalHeaderLabels(headers);
  table_->setRowCount(static_cast<int>(rows.size()));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->setVisible(false);
  for (int row = 0; row < table_->rowCount(); ++row) {
    const QStringList& cells = rows[static_cast<std::size_t>(row)];
    for (int col = 0; col < cells.size() && col < table_->columnCount(); ++col) {
      table_->setItem(row, col, new QTableWidgetItem(cells[col]));
    }
  }
  table_->resizeColumnsToContents();
  table_->horizontalHeader()->setStretchLastSection(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_, 1);
  layout->addWidget(buttons);
  resize(480, 300);
}

}  // namespace kv
