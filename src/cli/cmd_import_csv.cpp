// kvmaint import-csv --TABLE FILE.kvd IN.csv: one table of a CSV file into a
// maintenance data file, with the window's import rules and checks.
#include <filesystem>
#include <fstream>

#include "cli/cli_io.h"
#include "cli/command.h"
#include "cli/csv_table_option.h"
#include "cli/kvd_files.h"
#include "rules/setting_display.h"
#include "files/file_sink.h"
#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "model/instrument_settings.h"
#include "qtedge/data_folder.h"
#include "qtedge/file_edit_lock.h"
#include "rules/record_check.h"

namespace kv::cli {
namespace {

const QString kKeepInvalid = QStringLiteral("keep-invalid");
const QString kAcceptRounding = QStringLiteral("accept-rounding");

// Every imported cell whose value the table changes (a level rounded to its
// step), one line each; the count.
int ReportAdjustedCells(const QString& csvPath, const csv::CsvCells& cells,
                        const std::vector<int>& importedRows) {
  int adjusted = 0;
  for (const int row : importedRows) {
    const csv::CsvRow& cellRow = cells.rows[static_cast<std::size_t>(row)];
    for (std::size_t c = 1; c < cellRow.size(); ++c) {
      if (cellRow[c].adjusted.empty()) continue;
      ++adjusted;
      PrintFileError(csvPath, row + 1,
                     csv::CellName(cells.table, row, static_cast<int>(c)) + ": " + cellRow[c].adjusted);
    }
  }
  return adjusted;
}

// Every refused cell of the imported rows, one line each; the count.
int ReportRefusedCells(const QString& csvPath, const csv::CsvCells& cells,
                       const std::vector<int>& importedRows) {
  int refused = 0;
  for (const int row : importedRows) {
    const csv::CsvRow& cellRow = cells.rows[static_cast<std::size_t>(row)];
    for (std::size_t c = 1; c < cellRow.size(); ++c) {
      const csv::CsvCell& cell = cellRow[c];
      if (cell.valid) continue;
      ++refused;
      PrintFileError(csvPath, row + 1,
                     csv::CellName(cells.table, row, static_cast<int>(c)) + ": \"" + cell.text + "\" " +
                         cell.reason);
    }
  }
  return refused;
}

// Every setting the file would read back differently (a comma ends a field of
// a maintenance data file; factors are held as whole numbers); the count.
int ReportLostValues(const QString& kvdPath, const clsInstrument& record,
                     const std::string& fileBytes) {
  clsInstrument reread;
  (void)ReadMaintenanceText(reread, fileBytes);
  int lost = 0;
  for (const SettingInfo& setting : AllSettings()) {
    for (int i = 0; i < setting.count; ++i) {
      if (setting.get(record, i) == setting.get(reread, i)) continue;
      ++lost;
      PrintFileError(kvdPath, 0,
                     SettingCaption(setting, record, i) + " " + DisplayValue(setting, record, i) +
                         " would read back as " + DisplayValue(setting, reread, i));
    }
  }
  return lost;
}

class ImportCsvCommand final : public Command {
 public:
  void Declare(QCommandLineParser& parser) override {
    DeclareCsvTableOptions(parser);
    parser.addOption({kKeepInvalid, QStringLiteral("Write the file even when cells are refused.")});
    parser.addOption({kAcceptRounding,
                      QStringLiteral("Write the file even when the table changes values (levels rounded to their step).")});
    parser.addPositionalArgument(QStringLiteral("FILE.kvd"),
                                 QStringLiteral("The maintenance data file to change."));
    parser.addPositionalArgument(QStringLiteral("IN.csv"), QStringLiteral("The file to read."));
  }

  int Run(const QCommandLineParser& parser) override {
    const std::optional<csv::CsvTable> table = ChosenCsvTable(parser);
    if (!table) return Usage(QStringLiteral("give exactly one table option"));
    const QStringList paths = parser.positionalArguments();
    // Held from the read to the write, so that edits at the same time wait.
    const FileEditLock editing(ToFsPath(paths[0]).string());
    if (!editing.Held()) {
      PrintError(editing.Error() + "; " + Bytes(paths[0]) + " left unchanged");
      return kExitFailure;
    }
    clsInstrument record;
    if (!LoadMaintenanceFile(record, paths[0])) return kExitUsage;
    record.ClearChangeFlags();  // from here a raised flag is an imported row
    std::error_code unknown;
    const std::uintmax_t csvSize = std::filesystem::file_size(ToFsPath(paths[1]), unknown);
    if (!unknown && csvSize > csv::kMaxCsvFileBytes) {
      PrintFileError(paths[1], 0, "is " + std::to_string(csvSize) + " bytes, far more than any table (" +
                                      std::to_string(csv::kMaxCsvFileBytes / 1024) + " KiB); " +
                                      Bytes(paths[0]) + " left unchanged");
      return kExitUsage;
    }
    std::ifstream in(ToFsPath(paths[1]), std::ios::binary);
    if (!in) {
      PrintFileError(paths[1], 0, "cannot be opened");
      return kExitUsage;
    }
    csv::CsvCells cells = csv::CellsOf(record, *table);
    const csv::CsvImport imported = csv::ImportCsv(in, cells);
    if (imported.refusedWhole) {
      PrintFileError(paths[1], 0, "refused: " + imported.error);
      PrintError(Bytes(paths[0]) + " left unchanged");
      return kExitFailure;
    }
    int refused = ReportRefusedCells(paths[1], cells, imported.importedRows);
    if (!imported.complete) {
      PrintFileError(paths[1], 0, "Improper file: " + imported.error);
      ++refused;
    }
    if (refused > 0 && !parser.isSet(kKeepInvalid)) {
      PrintError(Bytes(paths[0]) + " left unchanged");
      return kExitFailure;
    }
    const int adjusted = ReportAdjustedCells(paths[1], cells, imported.importedRows);
    if (adjusted > 0 && !parser.isSet(kAcceptRounding)) {
      PrintError(Bytes(paths[0]) + " left unchanged: the values above would change (--accept-rounding keeps them changed)");
      return kExitFailure;
    }
    csv::StoreImportedRows(cells, imported.importedRows, record);
    const std::vector<rules::SettingProblem> problems =
        rules::CheckRecord(record, rules::RecordScope::Changed);
    for (const rules::SettingProblem& problem : problems) PrintFileError(paths[1], 0, problem.Describe());
    refused += static_cast<int>(problems.size());
    MemoryFileSink memory;  // checked before the file is replaced
    if (const KvdWriteResult built = WriteMaintenanceFile(record, memory); !built.ok) {
      PrintFileError(paths[0], 0, built.error);
      PrintError(Bytes(paths[0]) + " left unchanged");
      return kExitFailure;
    }
    refused += ReportLostValues(paths[0], record, memory.Content());
    if (refused > 0 && !parser.isSet(kKeepInvalid)) {
      PrintError(Bytes(paths[0]) + " left unchanged");
      return kExitFailure;
    }
    AtomicFileSink sink(ToFsPath(paths[0]).string());
    if (!sink.Write(memory.Content()) || !sink.Commit()) {
      PrintFileError(paths[0], 0, sink.Error());
      return kExitUsage;
    }
    return refused > 0 ? kExitFailure : kExitOk;
  }
};

}  // namespace

KV_DEFINE_COMMAND(ImportCsvCommand, .name = "import-csv",
                    .arguments = "--stations|--users|--pid-high|--pid-low|--conversion "
                                 "[--keep-invalid] [--accept-rounding] FILE.kvd IN.csv",
                    .summary = "Read one table of a CSV file into a maintenance data file.",
                    .details = "Reads as many lines as the table holds (\",\" and Tab separate\n"
                               "fields), checks every cell as the window does and prints each\n"
                               "refused cell as IN.csv:LINE: row, column and what it accepts.\n"
                               "A value the maintenance file cannot hold as imported (a comma\n"
                               "in a name, a factor that is not a whole number) counts as\n"
                               "refused too. With a refused cell the file is left unchanged\n"
                               "unless --keep-invalid is given. A value the table changes (a\n"
                               "level rounded to its step) is printed with what it becomes, and\n"
                               "the file is left unchanged unless --accept-rounding is given.\n"
                               "The file is replaced atomically.\n"
                               "Exit status 0 imported, 1 a cell refused, 2 a file cannot be used.",
                    .group = CommandGroup::Files, .positionalArguments = 2)

}  // namespace kv::cli
