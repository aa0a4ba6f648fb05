// The cells of each CSV table as the grids show the record.
#include <algorithm>
#include <array>
#include <cstdio>

#include "files/csv_settings.h"
#include "files/csv_tables.h"
#include "protocol/format_gas_value.h"
#include "rules/pid_rules.h"
#include "rules/table_rules.h"

namespace kv::csv {
namespace {

constexpr int kPidCsvGridRow = 17;

std::string Printed(const char* format, double value) {
  std::array<char, 64> buffer{};
  std::snprintf(buffer.data(), buffer.size(), format, value);
  return buffer.data();
}

double NumberOf(const SettingValue& value) {
  return std::visit(
      [](const auto& held) -> double {
        using T = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<T, Text>) {
          return 0;
        } else {
          return static_cast<double>(held);
        }
      },
      value);
}

std::string TextOf(const SettingValue& value) {
  const Text* text = std::get_if<Text>(&value);
  return text != nullptr ? *text : std::string{};
}

// "1/1", "1/10", "1/100", ...: one part in 10 to the power of the decimals.
std::string PointText(int point) {
  constexpr int kMostDecimals = 9;
  return "1/1" + std::string(static_cast<std::size_t>(std::clamp(point, 0, kMostDecimals)), '0');
}

std::string PidCellText(const clsInstrument& record, CsvTable table, int column) {
  const auto value = [&](int c) {
    const std::optional<SettingValue> read = ReadSetting(record, SettingOf(table, 0, c));
    return read ? *read : SettingValue{};
  };
  const int point = static_cast<int>(NumberOf(value(rules::kPidPoint)));
  switch (column) {
    case rules::kPidName:
    case rules::kPidLongName:
    case rules::kPidUnit:
      return TextOf(value(column));
    case rules::kPidPoint:
      return PointText(point);
    case rules::kPidDigit:
      return Printed("%.7g", NumberOf(value(column)));
    case rules::kPidFactor:
      return Printed("%.2f", NumberOf(value(column)));
    default:  // the full scale and the levels, with the row's decimals
      return FormatGasValue(static_cast<float>(NumberOf(value(column))), point);
  }
}

std::string ConversionCellText(const clsInstrument& record, int row, int column) {
  const std::optional<SettingValue> read = ReadSetting(record, SettingOf(CsvTable::Conversion, row, column));
  const SettingValue value = read ? *read : SettingValue{};
  switch (column) {
    case rules::kConvName:
    case rules::kConvLongName:
      return TextOf(value);
    case rules::kConvFactor:
      return Printed("%.2f", NumberOf(value));
    case rules::kConvWarn:
    case rules::kConvAlarm:
      return FormatGasValue(static_cast<float>(NumberOf(value)), 0);
    case rules::kConvRatio:
      return Printed("%.7g", NumberOf(value));
    default:
      return NumberOf(value) == 1.0 ? "ME" : "Normal";
  }
}

}  // namespace

const TableShape& ShapeOf(CsvTable table) {
  static const std::array<TableShape, 5> kShapes = {{
      {rules::kStationEntries, 2, 1, "Station.csv", "Station", false},
      {rules::kUserEntries, 2, 1, "User.csv", "User", false},
      {1, rules::kPidColumns, kPidCsvGridRow, "PID_High17.csv", "PID Sensor Settings", true},
      {1, rules::kPidColumns, kPidCsvGridRow, "PID_Low17.csv", "PID Sensor Settings", true},
      {rules::kUserConversionRows - 1, rules::kUserConversionColumns, 1, "UserConversion.csv",
       "User Defined Conversion Table", true},
  }};
  return kShapes[static_cast<std::size_t>(table)];
}

std::string_view ColumnName(CsvTable table, int column) {
  static constexpr std::array<std::string_view, rules::kPidColumns> kPid = {
      "No",  "Name", "Long Name", "FullScale", "Point",   "Unit",  "Digit",
      "1st", "2nd",  "STEL",      "TWA",       "AutoCal", "Factor"};
  static constexpr std::array<std::string_view, rules::kUserConversionColumns> kConversion = {
      "No", "Name", "Long Name", "Factor", "1st", "2nd", "Ratio", "Volt"};
  static constexpr std::array<std::string_view, 2> kList = {"No", "Name"};
  const auto at = [column](const auto& names) {
    return column >= 0 && static_cast<std::size_t>(column) < names.size()
               ? names[static_cast<std::size_t>(column)]
               : std::string_view{};
  };
  switch (table) {
    case CsvTable::PidHigh:
    case CsvTable::PidLow:
      return at(kPid);
    case CsvTable::Conversion:
      return at(kConversion);
    default:
      return at(kList);
  }
}

int GridRowOf(CsvTable table, int row) {
  switch (table) {
    case CsvTable::Stations:
    case CsvTable::Users:
      return row;
    case CsvTable::PidHigh:
    case CsvTable::PidLow:
      return kPidCsvGridRow;
    case CsvTable::Conversion:
      return row + 1;
  }
  return row;
}

CsvCells CellsOf(const clsInstrument& record, CsvTable table) {
  const TableShape& shape = ShapeOf(table);
  CsvCells cells{table, {}};
  for (int row = 0; row < shape.rows; ++row) {
    CsvRow cellRow(static_cast<std::size_t>(shape.columns));
    cellRow[0].text = std::to_string(shape.firstRowNumber + (shape.rows > 1 ? row : 0));
    for (int column = 1; column < shape.columns; ++column) {
      std::string& text = cellRow[static_cast<std::size_t>(column)].text;
      if (table == CsvTable::PidHigh || table == CsvTable::PidLow) {
        text = PidCellText(record, table, column);
      } else if (table == CsvTable::Conversion) {
        text = ConversionCellText(record, row, column);
      } else {
        const std::optional<SettingValue> name = ReadSetting(record, SettingOf(table, row, column));
        text = name ? TextOf(*name) : std::string{};
      }
    }
    cells.rows.push_back(std::move(cellRow));
  }
  return cells;
}

}  // namespace kv::csv
