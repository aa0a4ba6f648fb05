#pragma once
// The table option shared by export-csv and import-csv: exactly one of
// --stations, --users, --pid-high, --pid-low, --conversion.
#include <QCommandLineParser>
#include <optional>

#include "files/csv_tables.h"

namespace kv::cli {

void DeclareCsvTableOptions(QCommandLineParser& parser);
// Nullopt when none or more than one table option is given.
std::optional<csv::CsvTable> ChosenCsvTable(const QCommandLineParser& parser);

}  // namespace kv::cli
