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
#include "link/link.h"
#include "link/task.h"
#include "link/transactions.h"  // ReadSerialNumber
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
// The same, saying on stderr why the store cannot be used ("history not
// recorded: why").
std::unique_ptr<history::Store> OpenRecordingStore(const LinkOptions& options,
                                                   const std::optional<std::string>& historyOption);

// The recording of one instrument command: the chosen store is prepared in
// the background from the start, so that a database server's connection
// overlaps the exchange with the instrument.
class RunRecording {
 public:
  RunRecording(const LinkOptions& options, const std::optional<std::string>& historyOption);

  // Whether events go to a store (not when off, nor when none can be used).
  bool Active() const { return recorder_ != nullptr; }

  // Records the event of `operation`; `serialRecord` supplies serial and
  // model when `note.record` is null (nullptr: the serial is unknown, and the
  // detail says so). A failure to record is said on stderr ("history not
  // recorded: why") and changes nothing else.
  void Record(std::string_view operation, std::string result, const HistoryNote& note,
              const clsInstrument* serialRecord);

 private:
  std::unique_ptr<history::Recorder> recorder_;  // null: off, or `error_`
  std::string error_;
};

}  // namespace kv::cli
