#pragma once
// What a kvmaint run gets from its caller: the standard streams, which of
// them are terminals, and how a session with the instrument is made. main
// passes the process's own; tests pass string streams and the simulated
// instrument in virtual time, and run the command in their own process.
#include <functional>
#include <iosfwd>
#include <memory>

#include "cli/link_options.h"
#include "cli/session_services.h"
#include "historydb/sql_store.h"

namespace kv::cli {

struct CliContext {
  std::ostream* out = nullptr;
  std::ostream* err = nullptr;
  std::istream* in = nullptr;
  bool stdinTerminal = false;
  bool stdoutTerminal = false;
  bool stderrTerminal = false;
  // The port, clock and tick of one session with the instrument.
  std::function<std::unique_ptr<SessionServices>(const LinkOptions&)> makeSession;
  // How long the history waits for a busy SQLite file or a server.
  history::SqlStoreOptions historyTimings;
  // Where instrument operations are recorded instead of the chosen store (tests).
  history::Recorder* recorder = nullptr;
};

// std::cin, std::cout and std::cerr as the process has them, and the serial
// port in real time.
CliContext ProcessContext();

// The context of the run in progress; the process's own outside a run.
const CliContext& CurrentContext();

// Makes `context` the current one for its own lifetime.
class ContextScope {
 public:
  explicit ContextScope(const CliContext& context);
  ~ContextScope();
  ContextScope(const ContextScope&) = delete;
  ContextScope& operator=(const ContextScope&) = delete;

 private:
  const CliContext* previous_;
};

}  // namespace kv::cli
