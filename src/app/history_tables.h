#pragma once
// The read-only tables of the History window's views: whole rows selected,
// no row numbers, the last column stretched; rows of Latin-1 texts.
#include <QStringList>
#include <string>
#include <vector>

class QTableWidget;
class QWidget;

namespace kv {

QTableWidget* ReadOnlyTable(QWidget* parent, const char* name, const QStringList& columns);
void FillRow(QTableWidget& table, int row, const std::vector<std::string>& cells);
// Adds a row at the end.
void AddRow(QTableWidget& table, const std::vector<std::string>& cells);

}  // namespace kv
