#pragma once
// How every operation of src/ops starts and ends its outcome: one place for
// where it stopped, when it finished and its record in the history.
#include "link/link.h"
#include "model/instrument.h"
#include "ops/history_sink.h"
#include "ops/outcome.h"

namespace kv::ops {

// A fresh outcome of `operation` (history::kOp*).
void BeginOperation(OperationOutcome& outcome, const char* operation);

// Ends the outcome of an exchange that ran to `completed` and records it.
// `named` names the settings of the line it stopped at.
void EndOperation(uclTzif& link, HistorySink& history, bool completed, OperationOutcome& outcome,
                  const clsInstrument& named);

}  // namespace kv::ops
