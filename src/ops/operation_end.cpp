#include "ops/operation_end.h"

#include "link/command_subjects.h"

namespace kv::ops {

void BeginOperation(OperationOutcome& outcome, const char* operation) {
  outcome = OperationOutcome{};
  outcome.operation = operation;
}

void EndOperation(uclTzif& link, HistorySink& history, bool completed, OperationOutcome& outcome,
                  const clsInstrument& named) {
  outcome.done = completed;
  if (!completed) {
    outcome.interrupted = link.Cancel();
    if (outcome.failedAt.empty()) outcome.failedAt = WhereItStopped(link, named);
  }
  outcome.finished = link.GetClock().Now();
  history.Finished(outcome);
}

}  // namespace kv::ops
