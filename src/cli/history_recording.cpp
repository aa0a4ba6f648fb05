#include "cli/history_recording.h"

#include "cli/cli_io.h"
#include "history/history_event.h"
#include "history/history_location.h"
#include "historydb/history_factory.h"
#include "historydb/snapshot.h"
#include "protocol/reply_sink.h"
#include "qtedge/data_folder.h"

namespace kv::cli {
namespace {

const QString kHistory = QStringLiteral("history");

}  // namespace

void DeclareHistoryOption(QCommandLineParser& parser) {
  parser.addOption({kHistory,
                    QStringLiteral("Record in this history: a postgresql:// URL, an SQLite file, or "
                                   "\"off\" (default: the data folder's KVMaintenance.ini, else "
                                   "History.sqlite there)."),
                    QStringLiteral("URL|FILE|off")});
}

std::optional<std::string> HistoryOptionValue(const QCommandLineParser& parser) {
  if (!parser.isSet(kHistory)) return std::nullopt;
  return Bytes(parser.value(kHistory));
}

void RecordInstrumentEvent(const LinkOptions& options, const std::optional<std::string>& historyOption,
                           std::string_view operation, std::string result, const HistoryNote& note,
                           const clsInstrument* serialRecord) {
  if (historyOption && *historyOption == history::kHistoryOff) return;
  const std::optional<std::filesystem::path> folder = ResolveDataFolder(options.dataDir);
  if (!folder) {
    PrintError("history not recorded: cannot create the data folder " +
               Bytes(ChooseDataFolder(options.dataDir)));
    return;
  }
  const history::ChosenHistory chosen = history::ChooseHistoryStore(historyOption, *folder);
  if (!chosen.store) {
    if (!chosen.error.empty()) PrintError("history not recorded: " + chosen.error);
    return;
  }
  const clsInstrument* identity = note.record != nullptr ? note.record : serialRecord;
  history::Event event = history::EventFor(identity != nullptr ? *identity : clsInstrument(),
                                           std::string(operation));
  event.result = std::move(result);
  event.detail = note.detail;
  if (identity == nullptr) event.serial.clear();
  history::NoteIfSerialUnknown(event);
  if (note.record == nullptr) event.model.clear();  // the serial read alone does not tell it
  event.file = note.file;
  event.snapshot = note.snapshot;
  const history::RecordOutcome outcome = chosen.store->Record(event);
  if (!outcome.recorded) PrintError(history::NotRecordedText(outcome));
}

Transaction ReadSerialNumber(uclTzif& link, clsInstrument& record) {
  ReplySink sink(&record);
  const LinkStatus ended = co_await link.SendAndWait(sink, "IN,R,", LinkStatus::ReadWaiting);
  co_return ended == LinkStatus::Complete;
}

}  // namespace kv::cli
