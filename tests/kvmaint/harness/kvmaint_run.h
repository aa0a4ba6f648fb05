#pragma once
// kvmaint run in the test's own process: the command table's entry called
// with string streams for stdin, stdout and stderr, and sessions on the
// in-process simulator the --port option names, in virtual time.
#include <optional>
#include <string>
#include <vector>

#include "historydb/sql_store.h"
#include "support/child_process.h"

namespace kv::inproc {

using testsupport::ProgramResult;

struct RunSetup {
  std::string input;  // stdin
  bool stdinTerminal = false;
  bool stderrTerminal = false;
  // Ctrl-C this long (virtual) into the instrument session.
  std::optional<long long> interruptAfterMs;
  // How long the history waits for a busy database or a server.
  history::SqlStoreOptions historyTimings;
  // Records the run's operations instead of the data folder's history.
  history::Recorder* recorder = nullptr;
};

// Ctrl-C `ms` (virtual) into the instrument session.
inline RunSetup InterruptAfter(long long ms) {
  RunSetup setup;
  setup.interruptAfterMs = ms;
  return setup;
}

// What main gives a run, made once for the test process: an application (the
// history's SQL and the report's pages need one) and, for runs without
// --data-dir, a data folder of the process's own (KVMAINTENANCE_HOME), never
// the user's real one.
void PrepareProcess();

// kvmaint with `args` (without the program's name); timedOut when it waited
// past its (virtual) patience.
ProgramResult Kvmaint(const std::vector<std::string>& args, const RunSetup& setup = {});

}  // namespace kv::inproc
