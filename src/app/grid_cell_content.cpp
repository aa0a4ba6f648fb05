// The contents a fill writes into the cells of a settings grid.
#include <QStringList>

#include "qtedge/latin1.h"
#include "app/settings_grid.h"
#include "protocol/format_gas_value.h"

namespace kv {

CellContent TextCell(const QString& text, const QVariant& value) {
  return {CellKind::Text, text, value, {}};
}

CellContent TextCell(const std::string& latin1) {
  const QString text = ToQString(latin1);
  return TextCell(text, text);
}

CellContent NumberCell(long long number) { return TextCell(QString::number(number), number); }

CellContent PlainNumberCell(float number) { return TextCell(PlainNumber(number), number); }

CellContent GasValueCell(float value, int decimals) {
  return TextCell(ToQString(FormatGasValue(value, decimals)), value);
}

CellContent CheckCell(bool checked, const QString& text) {
  return {CellKind::Check, text, checked, {}};
}

CellContent ChoiceCell(const QString& list, int index) {
  return {CellKind::Choice, ChoiceItem(list, index), index, list};
}

CellContent UnusedCell(const QString& text) { return {CellKind::Unused, text, {}, {}}; }

CellContent DashesCell() { return UnusedCell(kDashes); }

QString ChoiceItem(const QString& list, int index) {
  const QStringList items = list.split(QLatin1Char('|'));
  if (index < 0 || index >= items.size()) return {};
  return items[index];
}

QString PlainNumber(float number) {
  return QString::number(static_cast<double>(number), 'g', 7);
}

}  // namespace kv
