// kvmaint history: what the history knows of the instruments, one
// instrument's events, and the snapshots of reads and transmits (diff,
// export, restore).
#include <map>

#include "cli/cli_io.h"
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

std::string Field(const std::string& text) { return text.empty() ? "-" : text; }

std::string InstrumentsText(const std::vector<history::InstrumentSummary>& instruments, bool json) {
  std::string out;
  for (const history::InstrumentSummary& i : instruments) {
    if (json) {
      out += std::string(out.empty() ? "" : ",\n") + "  {\"serial\": " + JsonString(i.serial) +
             ", \"model\": " + JsonString(i.model) + ", \"last_seen\": " + JsonString(i.lastSeen) +
             ", \"last_read\": " + JsonString(i.lastRead) +
             ", \"last_calibration\": " + JsonString(i.lastCalibration) + "}";
    } else {
      out += Field(i.serial) + "\t" + Field(i.model) + "\t" + Field(i.lastSeen) + "\t" +
             Field(i.lastRead) + "\t" + Field(i.lastCalibration) + "\n";
    }
  }
  if (json) return out.empty() ? "[]\n" : "[\n" + out + "\n]\n";
  return "serial\tmodel\tlast seen\tlast read\tlast calibration\n" + out;
}

std::string EventsText(const std::vector<history::Event>& events, bool json) {
  std::string out;
  for (const history::Event& e : events) {
    if (json) {
      out += std::string(out.empty() ? "" : ",\n") + "  {\"id\": " + std::to_string(e.id) +
             ", \"time\": " + JsonString(e.time) + ", \"serial\": " + JsonString(e.serial) +
             ", \"model\": " + JsonString(e.model) + ", \"user\": " + JsonString(e.user) +
             ", \"operation\": " + JsonString(e.operation) + ", \"result\": " + JsonString(e.result) +
             ", \"detail\": " + JsonString(e.detail) + ", \"file\": " + JsonString(e.file) +
             ", \"snapshot\": " + (e.snapshot.empty() ? "false" : "true") + "}";
    } else {
      out += std::to_string(e.id) + "\t" + e.time + "\t" + e.operation + "\t" + e.result + "\t" +
             Field(e.user) + "\t" + Field(e.file) + "\t" + Field(e.detail) + "\n";
    }
  }
  if (json) return out.empty() ? "[]\n" : "[\n" + out + "\n]\n";
  return "id\ttime\toperation\tresult\tuser\tfile\tdetail\n" + out;
}

class HistoryCommand final : public Command {
 public:
  void Declare(QCommandLineParser& parser) override {
    parser.addOption({kSerial, QStringLiteral("The instrument's serial number."), QStringLiteral("S")});
    parser.addOption({kJson, QStringLiteral("Print JSON for scripts.")});
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
    std::string error;
    std::string text;
    if (parser.isSet(kSerial)) {
      text = EventsText(store.Events(Bytes(parser.value(kSerial)), &error), json);
    } else {
      text = InstrumentsText(store.Instruments(&error), json);
    }
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
                  .arguments = "[--serial S] [--json] | diff ID ID | export --serial S DIR | restore ID FILE.kvd",
                  .summary = "The instrument history: instruments, events, and their recorded settings.",
                  .details = "Without an action: one line per instrument (serial, model, last seen,\n"
                             "last read, last calibration), or with --serial S that instrument's\n"
                             "events oldest first (id, time, operation, result, user, file, detail).\n"
                             "diff ID ID prints the settings that differ between the settings of two\n"
                             "events, as kvmaint diff does (exit status 1 when they differ). export\n"
                             "writes every recorded settings snapshot of the instrument into DIR as\n"
                             "TIME_ID.kvd; restore writes one as FILE.kvd, for kvmaint send.\n"
                             "The history is the one instrument commands record in: --history, else\n"
                             "[History] Database= in the data folder's KVMaintenance.ini, else\n"
                             "History.sqlite in the data folder.",
                  .group = CommandGroup::Files, .positionalArguments = 0, .moreArguments = true)

}  // namespace kv::cli
