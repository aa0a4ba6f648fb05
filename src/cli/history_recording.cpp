#include "cli/history_recording.h"

#include "cli/cli_context.h"
#include "cli/cli_io.h"
#include "history/history_location.h"
#include "historydb/history_factory.h"
#include "qtedge/data_folder.h"

namespace kv::cli {
namespace {

const QString kHistory = QStringLiteral("history");
const QString kDataDir = QStringLiteral("data-dir");

}  // namespace

void DeclareHistoryOption(QCommandLineParser& parser) {
  parser.addOption({kHistory,
                    QStringLiteral("Record in this history: a postgresql:// URL, an SQLite file, or "
                                   "\"off\" (default: the data folder's KVMaintenance.ini, else "
                                   "History.sqlite there)."),
                    QStringLiteral("URL|FILE|off")});
}

void DeclareHistoryStoreOptions(QCommandLineParser& parser) {
  parser.addOption({kDataDir, QStringLiteral("The data folder (default: $KVMAINTENANCE_HOME or "
                                             "the per-user application folder)."),
                    QStringLiteral("DIR")});
  DeclareHistoryOption(parser);
}

std::unique_ptr<history::Store> OpenHistoryStore(const QCommandLineParser& parser, std::string* why) {
  const std::optional<std::filesystem::path> folder = ResolveDataFolder(parser.value(kDataDir));
  if (!folder) {
    *why = "cannot create the data folder " + Bytes(ChooseDataFolder(parser.value(kDataDir)));
    return nullptr;
  }
  history::ChosenHistory chosen = history::ChooseHistoryStore(HistoryOptionValue(parser), *folder,
                                                                     CurrentContext().historyTimings);
  if (!chosen.store) *why = chosen.error.empty() ? std::string("the history is off") : chosen.error;
  return std::move(chosen.store);
}

std::unique_ptr<history::Store> OpenHistoryStore(const QCommandLineParser& parser) {
  std::string why;
  std::unique_ptr<history::Store> store = OpenHistoryStore(parser, &why);
  if (!store) PrintError(why);
  return store;
}

std::optional<std::string> HistoryOptionValue(const QCommandLineParser& parser) {
  if (!parser.isSet(kHistory)) return std::nullopt;
  return Bytes(parser.value(kHistory));
}

std::unique_ptr<history::Store> ChooseRecordingStore(const LinkOptions& options,
                                                     const std::optional<std::string>& historyOption,
                                                     std::string* error) {
  if (historyOption && *historyOption == history::kHistoryOff) return nullptr;
  const std::optional<std::filesystem::path> folder = ResolveDataFolder(options.dataDir);
  if (!folder) {
    *error = "cannot create the data folder " + Bytes(ChooseDataFolder(options.dataDir));
    return nullptr;
  }
  history::ChosenHistory chosen = history::ChooseHistoryStore(historyOption, *folder, CurrentContext().historyTimings);
  *error = chosen.error;
  return std::move(chosen.store);
}

RunRecording::RunRecording(const LinkOptions& options, const std::optional<std::string>& historyOption)
    : given_(CurrentContext().recorder) {
  if (given_ != nullptr) return;
  store_ = ChooseRecordingStore(options, historyOption, &error_);
  std::string ignored;  // a store that cannot be prepared says why with each record
  if (store_) store_->Prepare(&ignored);
}

history::Recorder* RunRecording::Recorder() const {
  return given_ != nullptr ? given_ : store_.get();
}

}  // namespace kv::cli
