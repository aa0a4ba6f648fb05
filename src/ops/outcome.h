#pragma once
// What one operation on the instrument did, in one shape for every front
// end: the window, kvmaint and station mode each present it their own way.
#include <string>
#include <vector>

#include "common/datetime.h"
#include "history/history_store.h"
#include "link/transactions.h"
#include "ops/verification.h"

namespace kv::ops {

struct OperationOutcome {
  std::string operation;  // history::kOp*
  bool done = false;      // every exchange completed (a verification may still differ)
  bool interrupted = false;
  std::string failedAt;   // where it stopped: "\"GP,W\": no answer"; "" when done
  std::string holds;      // what the instrument holds now, after a failed write
  std::string detail;     // the operation's own result (counts, statuses)
  std::string file;       // the file sent or written (a backup, an image)
  std::string backupPath;
  std::string backupError;  // "" when the backup was kept (or none was asked for)
  Verification verification;
  int settingsToWrite = 0;
  std::vector<SentWriteLine> lines;  // every line a write sent, the refused one included
  std::string serial;  // the instrument's, from this operation's read or the session's last one
  std::string model;
  std::string snapshot;  // the settings read or sent, as a maintenance data file
  DateTime finished;     // from the link's clock
  history::RecordOutcome history;  // its event; not recorded and no error: history off

  // Done, its backup kept and its verification (when asked for) clean.
  bool Succeeded() const {
    return done && backupError.empty() && verification.state != VerifyState::ReadFailed &&
           verification.state != VerifyState::Differs;
  }
  // The event's result: "ok", or what failed.
  std::string ResultText() const;
  int AcknowledgedLines() const;
};

}  // namespace kv::ops
