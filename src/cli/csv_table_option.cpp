#include "cli/csv_table_option.h"

#include <array>
#include <utility>

namespace kv::cli {
namespace {

const std::array<std::pair<const char*, csv::CsvTable>, 5> kTableOptions = {{
    {"stations", csv::CsvTable::Stations},
    {"users", csv::CsvTable::Users},
    {"pid-high", csv::CsvTable::PidHigh},
    {"pid-low", csv::CsvTable::PidLow},
    {"conversion", csv::CsvTable::Conversion},
}};

}  // namespace

void DeclareCsvTableOptions(QCommandLineParser& parser) {
  parser.addOption({QStringLiteral("stations"), QStringLiteral("The station list (128 names).")});
  parser.addOption({QStringLiteral("users"), QStringLiteral("The user list (32 names).")});
  parser.addOption(
      {QStringLiteral("pid-high"), QStringLiteral("Entry 17 of the high range PID sensor table.")});
  parser.addOption(
      {QStringLiteral("pid-low"), QStringLiteral("Entry 17 of the low range PID sensor table.")});
  parser.addOption(
      {QStringLiteral("conversion"), QStringLiteral("The user defined conversion table.")});
}

std::optional<csv::CsvTable> ChosenCsvTable(const QCommandLineParser& parser) {
  std::optional<csv::CsvTable> chosen;
  for (const auto& [option, table] : kTableOptions) {
    if (!parser.isSet(QString::fromLatin1(option))) continue;
    if (chosen) return std::nullopt;
    chosen = table;
  }
  return chosen;
}

}  // namespace kv::cli
