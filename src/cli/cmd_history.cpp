// kvmaint history: what the history knows of the instruments, one
// instrument's events, and the snapshots of reads and transmits (diff,
// export, restore).
#include <limits>
#include <map>

#include "cli/cli_context.h"
#include "cli/cli_io.h"
#include "cli/cmd_history_table.h"
#include "cli/cmd_history_snapshots.h"
#include "cli/command.h"
#include "cli/history_recording.h"
#include "cli/json_text.h"
#include "historydb/history_factory.h"
#include "qtedge/data_folder.h"

namespace kv::cli {
namespace {

const QString kSerial = QStringLiteral("serial");
const QString kJson = QStringLiteral("json");
const QString kPending = QStringLiteral("pending");

// A listing is read a page at a time: the memory it takes stays that of a page.
constexpr std::size_t kPage = 500;

std::string Field(const std::string& text) { return text.empty() ? "-" : text; }

bool Aligned() { return CurrentContext().stdoutTerminal; }

std::string InstrumentsText(const std::vector<history::InstrumentSummary>& instruments, bool json) {
  if (json) {
    std::string out;
    for (const history::InstrumentSummary& i : instruments) {
      out += std::string(out.empty() ? "" : ",\n") + "  {\"serial\": " + JsonString(i.serial) +
             ", \"model\": " + JsonString(i.model) + ", \"last_seen\": " + JsonString(i.lastSeen) +
             ", \"last_read\": " + JsonString(i.lastRead) +
             ", \"last_calibration\": " + JsonString(i.lastCalibration) + "}";
    }
    return out.empty() ? "[]\n" : "[\n" + out + "\n]\n";
  }
  std::vector<TableRow> rows;
  for (const history::InstrumentSummary& i : instruments) {
    rows.push_back({Field(i.serial), Field(i.model), Field(i.lastSeen), Field(i.lastRead), Field(i.lastCalibration)});
  }
  return TableText({"serial", "model", "last seen", "last read", "last calibration"}, rows, Aligned());
}

std::string EventJson(const history::Event& e) {
  return "  {\"id\": " + std::to_string(e.id) + ", \"time\": " + JsonString(e.time) +
         ", \"serial\": " + JsonString(e.serial) + ", \"model\": " + JsonString(e.model) +
         ", \"user\": " + JsonString(e.user) + ", \"operation\": " + JsonString(e.operation) +
         ", \"result\": " + JsonString(e.result) + ", \"detail\": " + JsonString(e.detail) +
         ", \"file\": " + JsonString(e.file) + ", \"snapshot\": " + (e.hasSnapshot ? "true" : "false") +
         ", \"uid\": " + JsonString(e.uid) + "}";
}

TableRow EventRow(const history::Event& e) {
  return {std::to_string(e.id), e.time, e.operation, e.result, Field(e.user), Field(e.file), DetailCell(e.detail)};
}

const TableRow kEventHeader{"id", "time", "operation", "result", "user", "file", "detail"};

// Prints `read`'s events page by page; false after saying why not.
template <typename ReadPage>
bool PrintEvents(ReadPage read, bool json) {
  const bool aligned = Aligned();
  std::vector<TableRow> rows;  // aligned output needs every width before the first line
  bool first = true;
  for (std::size_t offset = 0;; offset += kPage) {
    std::string error;
    const std::vector<history::Event> page = read(offset, &error);
    if (!error.empty()) {
      PrintError(error);
      return false;
    }
    std::string text;
    for (const history::Event& e : page) {
      if (json) {
        text += (first ? "[\n" : ",\n") + EventJson(e);
      } else if (aligned) {
        rows.push_back(EventRow(e));
      } else {
        text += (first ? SeparatedLine(kEventHeader) : std::string()) + SeparatedLine(EventRow(e));
      }
      first = false;
    }
    WriteStdout(text);
    if (page.size() < kPage) break;
  }
  if (json) WriteStdout(first ? "[]\n" : "\n]\n");
  if (!json && aligned) WriteStdout(TableText(kEventHeader, rows, true));
  if (!json && !aligned && first) WriteStdout(SeparatedLine(kEventHeader));
  return true;
}

class HistoryCommand final : public Command {
 public:
  void Declare(QCommandLineParser& parser) override {
    parser.addOption({kSerial, QStringLiteral("The instrument's serial number."), QStringLiteral("S")});
    parser.addOption({kJson, QStringLiteral("Print JSON for scripts.")});
    parser.addOption({kPending, QStringLiteral("List the events not yet forwarded to the shared history.")});
    DeclareHistoryStoreOptions(parser);
    parser.addPositionalArgument(QStringLiteral("[diff ID ID | export DIR | restore ID FILE.kvd]"),
                                 QStringLiteral("What to do (default: list)."));
  }

  int Run(const QCommandLineParser& parser) override {
    const QStringList args = parser.positionalArguments();
    const QString action = args.isEmpty() ? QString() : args.constFirst();
    // Each action with the number of words it takes, its own name included.
    const std::map<QString, qsizetype> kActions{{QString(), 0},
                                                {QStringLiteral("diff"), 3},
                                                {QStringLiteral("export"), 2},
                                                {QStringLiteral("restore"), 3}};
    const auto found = kActions.find(action);
    if (found == kActions.end()) return Usage(QStringLiteral("unknown history action \"%1\"").arg(action));
    const qsizetype wanted = found->second;
    if (args.size() != wanted) return Usage(QStringLiteral("wrong number of arguments for \"%1\"").arg(action));
    if (action == QStringLiteral("export") && !parser.isSet(kSerial)) {
      return Usage(QStringLiteral("export needs --serial S"));
    }
    if (action == QStringLiteral("export") && parser.value(kSerial).trimmed().isEmpty()) {
      return Usage(QStringLiteral("export needs a serial number"));
    }
    const std::unique_ptr<history::Store> opened = OpenHistoryStore(parser);
    if (!opened) return kExitUsage;
    history::Store& store = *opened;
    const bool json = parser.isSet(kJson);
    if (action == QStringLiteral("diff")) return DiffSnapshots(store, args[1], args[2], json);
    if (action == QStringLiteral("export")) return ExportSnapshots(store, Bytes(parser.value(kSerial)), args[1]);
    if (action == QStringLiteral("restore")) return RestoreSnapshot(store, args[1], args[2]);
    return List(store, parser, json);
  }

 private:
  static int List(history::Store& store, const QCommandLineParser& parser, bool json) {
    if (parser.isSet(kPending)) {
      return PrintEvents([&store](std::size_t offset, std::string* error) {
               // Forwarded events leave this list as it is read: one large page.
               return offset == 0 ? store.PendingEvents(std::numeric_limits<std::size_t>::max(), error)
                                  : std::vector<history::Event>{};
             }, json) ? kExitOk : kExitFailure;
    }
    if (parser.isSet(kSerial)) {
      const std::string serial = Bytes(parser.value(kSerial));
      return PrintEvents([&store, &serial](std::size_t offset, std::string* error) {
               return store.EventList(serial, offset, kPage, error);
             }, json) ? kExitOk : kExitFailure;
    }
    std::string error;
    const std::string text = InstrumentsText(store.Instruments(&error), json);
    if (!error.empty()) {
      PrintError(error);
      return kExitFailure;
    }
    WriteStdout(text);
    return kExitOk;
  }
};

}  // namespace

KV_DEFINE_COMMAND(HistoryCommand, .name = "history",
                  .arguments = "[--serial S | --pending] [--json] | diff ID ID | export --serial S DIR | restore ID FILE.kvd",
                  .summary = "The instrument history: instruments, events, and their recorded settings.",
                  .details = "Without an action: one line per instrument (serial, model, last seen,\n"
                             "last read, last calibration), or with --serial S that instrument's\n"
                             "events oldest first (id, time, operation, result, user, file, detail),\n"
                             "or with --pending the events this computer has not yet forwarded to\n"
                             "the shared (PostgreSQL) history. Columns are aligned on a terminal and\n"
                             "tab-separated otherwise (tab, line end and \\ escaped as \\t, \\n, \\\\).\n"
                             "diff ID ID prints the settings that differ between the settings of two\n"
                             "events, as kvmaint diff does (exit status 1 when they differ). export\n"
                             "writes every recorded settings snapshot of the instrument into DIR as\n"
                             "TIME_ID.kvd; restore writes one as FILE.kvd, for kvmaint send.\n"
                             "The history is the one instrument commands record in: --history, else\n"
                             "[History] Database= in the data folder's KVMaintenance.ini, else\n"
                             "History.sqlite in the data folder.",
                  .group = CommandGroup::Files, .positionalArguments = 0, .moreArguments = true)

}  // namespace kv::cli
