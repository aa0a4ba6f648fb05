#pragma once
// Recording kvmaint's instrument operations in the history: the --history
// option, and the one function that records an operation's event.
#include <QCommandLineParser>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cli/link_options.h"
#include "history/history_store.h"
#include "model/instrument.h"

namespace kv::cli {

// --history URL|FILE|off: where to record, over the data folder's setting.
void DeclareHistoryOption(QCommandLineParser& parser);
// The option's value; nullopt when it was not given.
std::optional<std::string> HistoryOptionValue(const QCommandLineParser& parser);

// For commands that read the history without a port: --data-dir and --history.
void DeclareHistoryStoreOptions(QCommandLineParser& parser);
// The store those options choose; null after saying why on stderr.
std::unique_ptr<history::Store> OpenHistoryStore(const QCommandLineParser& parser);
// The same, null with `why` set and nothing said.
std::unique_ptr<history::Store> OpenHistoryStore(const QCommandLineParser& parser, std::string* why);

// What an operation adds to its event.
struct HistoryNote {
  const clsInstrument* record = nullptr;  // the record read in the session: serial and model
  std::string detail;                     // the operation's own result
  std::string file;                       // the file it wrote or sent
  std::string snapshot;                   // the maintenance data file's bytes (reads, transmits)
};

// The store `historyOption` and the data folder of `options` choose for
// recording; null when recording is off, or with `error` set to why it cannot
// be used.
std::unique_ptr<history::Store> ChooseRecordingStore(const LinkOptions& options,
                                                     const std::optional<std::string>& historyOption,
                                                     std::string* error);
// The recorder of one instrument command: the chosen store is started at
// once (its local file opens and its server connects on the store's own
// threads while the instrument talks), and the operations record into it
// (ops::HistorySink); a test's context may give its own recorder. Its end
// waits briefly for the local writes and reports an event it could not write.
class RunRecording {
 public:
  RunRecording(const LinkOptions& options, const std::optional<std::string>& historyOption);

  // Null when recording is off or no store can be used (then Error() says why).
  history::Recorder* Recorder() const;
  const std::string& Error() const { return error_; }

 private:
  std::unique_ptr<history::Store> store_;  // null: off, or `error_`
  history::Recorder* given_ = nullptr;           // the context's own
  std::string error_;
};

}  // namespace kv::cli
