// kvmaint export-csv --TABLE FILE.kvd OUT.csv: one table of a maintenance
// data file as the window's CSV export writes it.
#include "cli/cli_io.h"
#include "cli/command.h"
#include "cli/csv_table_option.h"
#include "cli/kvd_files.h"
#include "common/messages.h"
#include "files/file_sink.h"
#include "qtedge/data_folder.h"

namespace kv::cli {
namespace {

class ExportCsvCommand final : public Command {
 public:
  void Declare(QCommandLineParser& parser) override {
    DeclareCsvTableOptions(parser);
    parser.addPositionalArgument(QStringLiteral("FILE.kvd"),
                                 QStringLiteral("The maintenance data file to read."));
    parser.addPositionalArgument(QStringLiteral("OUT.csv"), QStringLiteral("The file to write."));
  }

  int Run(const QCommandLineParser& parser) override {
    const std::optional<csv::CsvTable> table = ChosenCsvTable(parser);
    if (!table) return Usage(QStringLiteral("give exactly one table option"));
    const QStringList paths = parser.positionalArguments();
    clsInstrument record;
    if (!LoadMaintenanceFile(record, paths[0])) return kExitUsage;
    const std::string blockingCell = csv::BlockingCell(csv::CheckedBeforeExport(record, *table));
    if (!blockingCell.empty()) {
      PrintError(FormatMessage(msg::kImproperData, {std::string(csv::ShapeOf(*table).title)}) + ": " +
                 blockingCell);
      return kExitFailure;
    }
    AtomicFileSink sink(ToFsPath(paths[1]).string());
    if (!sink.Write(csv::ExportCsv(csv::CellsOf(record, *table))) || !sink.Commit()) {
      PrintFileError(paths[1], 0, sink.Error());
      return kExitUsage;
    }
    return kExitOk;
  }
};

}  // namespace

KV_DEFINE_COMMAND(ExportCsvCommand, .name = "export-csv",
                    .arguments = "--stations|--users|--pid-high|--pid-low|--conversion FILE.kvd "
                                 "OUT.csv",
                    .summary = "Write one table of a maintenance data file as a CSV file.",
                    .details = "The file is the one the window's export button writes: the\n"
                               "station or user list, entry 17 of a PID sensor table, or the\n"
                               "user defined conversion table. An invalid cell of a PID table\n"
                               "(either range) or of the conversion table blocks the export.\n"
                               "Exit status 0 written, 1 blocked, 2 a file cannot be used.",
                    .group = CommandGroup::Files, .positionalArguments = 2)

}  // namespace kv::cli
