#pragma once
// The operations on the instrument, each written once for the window,
// kvmaint and station mode: a read with its backup, a write with its
// verification, and the service operations. Each fills one
// OperationOutcome and reports it to the HistorySink once, at its end.
//
// Coroutines under the link's rules (docs/ARCHITECTURE.md, "Coroutines and
// GCC 12"): the Task forms are awaited inside longer runs (station mode),
// the Run* forms are started on the link. Every argument is held by
// reference until the operation ends: the caller keeps it alive.
#include <filesystem>
#include <string>
#include <vector>

#include "link/link.h"
#include "link/pending_changes.h"
#include "link/task.h"
#include "link/transactions.h"
#include "model/instrument.h"
#include "ops/history_sink.h"
#include "ops/outcome.h"

namespace kv::ops {

// ---- read ---------------------------------------------------------------------
struct ReadRequest {
  // The backup: `output` when given, else the day's dated backup in
  // `backupFolder`; none when both are empty.
  std::filesystem::path backupFolder;
  std::filesystem::path output;
  // The backup in `backupFolder` is named after the instrument (station mode).
  bool namedByInstrument = false;
};

// What follows a read, however it was run (the window injects its read):
// the backup, the instrument remembered, the event recorded.
void FinishRead(bool read, uclTzif& link, HistorySink& history, const clsInstrument& record,
                const ReadRequest& request, OperationOutcome& outcome);

Task<bool> ReadAndBackup(uclTzif& link, HistorySink& history, clsInstrument& record,
                         const ReadRequest& request, OperationOutcome& outcome);
Transaction RunReadAndBackup(uclTzif& link, HistorySink& history, clsInstrument& record,
                             const ReadRequest& request, OperationOutcome& outcome);

// ---- transmit -----------------------------------------------------------------
struct TransmitRequest {
  clsInstrument before;  // the instrument's record as read
  clsInstrument record;  // what goes out: `before` with the changes flagged; flags
                         // of acknowledged groups are cleared by the write
  bool saveAsDefault = false;
  bool verify = true;     // read back and compare (ops/verification.h)
  std::string file;       // the file sent, recorded with the event
  SentWriteObserver onLine;  // sees each line as it goes (may be empty)
};

// The changes a transmit of `request` writes, in the order it writes them.
std::vector<PendingChange> ChangesOf(const TransmitRequest& request);

// Writes the flagged settings of `request.record`, reads the instrument
// back and compares when asked. `outcome.done` tells the write went
// through; Succeeded() also that the verification found nothing.
Task<bool> TransmitAndVerify(uclTzif& link, HistorySink& history, TransmitRequest& request,
                             OperationOutcome& outcome);
Transaction RunTransmit(uclTzif& link, HistorySink& history, TransmitRequest& request,
                        OperationOutcome& outcome);

// ---- service operations ---------------------------------------------------------
// Sets the instrument's clock to the link clock's now.
Task<bool> SetClock(uclTzif& link, HistorySink& history, OperationOutcome& outcome);
Transaction RunSetClock(uclTzif& link, HistorySink& history, OperationOutcome& outcome);

// ---- power off ----------------------------------------------------------------
// Switches the instrument off; done when it acknowledged. The port is
// closed and, after `settleTicks`, the link reset; the instrument is
// forgotten once its event is recorded.
Task<bool> PowerOff(uclTzif& link, HistorySink& history, int settleTicks, OperationOutcome& outcome);
Transaction RunPowerOff(uclTzif& link, HistorySink& history, OperationOutcome& outcome);

}  // namespace kv::ops
