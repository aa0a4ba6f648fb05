#include "app/history_tables.h"

#include <QHeaderView>
#include <QTableWidget>

#include "qtedge/latin1.h"

namespace kv {

QTableWidget* ReadOnlyTable(QWidget* parent, const char* name, const QStringList& columns) {
  auto* table = new QTableWidget(0, static_cast<int>(columns.size()), parent);
  table->setObjectName(QString::fromLatin1(name));
  table->setHorizontalHeaderLabels(columns);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->verticalHeader()->setVisible(false);
  table->horizontalHeader()->setStretchLastSection(true);
  return table;
}

void FillRow(QTableWidget& table, int row, const std::vector<std::string>& cells) {
  for (std::size_t column = 0; column < cells.size(); ++column) {
    table.setItem(row, static_cast<int>(column), new QTableWidgetItem(ToQString(cells[column])));
  }
}

void AddRow(QTableWidget& table, const std::vector<std::string>& cells) {
  const int row = table.rowCount();
  table.insertRow(row);
  FillRow(table, row, cells);
}

}  // namespace kv
