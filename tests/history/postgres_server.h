#pragma once
// A PostgreSQL server for tests: initdb and pg_ctl in a folder of its own,
// listening only on a Unix socket there. initdb refuses root, so under root
// the server runs as the postgres user.
//
// Starting a server costs a second or more (initdb most of it), and ctest runs
// each test in a process of its own. So the tests that only need a database
// share one server for the whole run (Shared(): ctest's fixture starts it with
// tools/shared_postgres before them and stops it after), and a server of a
// test's own, for the tests that stop, suspend or kill it, is copied from the
// shared server's pristine initdb output instead of running initdb again.
#include <optional>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace kv::history::testing {

class PostgresServer {
 public:
  // A server of the caller's own, stopped and removed at destruction.
  // `durable`: the server flushes every commit to disk, as a real one does
  // (tests leave that out for speed).
  explicit PostgresServer(bool durable = false);
  ~PostgresServer();
  PostgresServer(const PostgresServer&) = delete;
  PostgresServer& operator=(const PostgresServer&) = delete;

  // The server the test run shares: the fixture's when it runs, else one
  // started for this process. Take a database of your own on it
  // (NewDatabaseUrl) and never stop, suspend or kill it.
  static PostgresServer& Shared();
  // The fixture program's two steps: the run's shared server started afresh
  // in its folder (one per build folder), and stopped and removed. False
  // after noting why in `problem`.
  static bool StartShared(std::string* problem);
  static bool StopShared(std::string* problem);

  // False when no PostgreSQL programs are installed (the test then skips).
  static bool Installed();
  // Empty when the server runs; otherwise what went wrong.
  const std::string& Problem() const { return problem_; }
  // A new empty database on the server, as a URL for the history; its name
  // is unique across the processes sharing the server.
  std::string NewDatabaseUrl();
  // Stops the server now (fast shutdown); the folder stays until destruction.
  void Stop();
  // Starts it again after Stop or Kill, with the same databases; false after
  // noting why in Problem().
  bool Start();
  // Faults: every process of the server killed at once (SIGKILL), or
  // suspended (SIGSTOP) and continued (SIGCONT), as a server that hangs.
  void Kill();
  void Suspend();
  void Resume();
  const std::string& SocketFolder() const { return path_; }

 private:
  struct Attach {};
  // The server already running in `folder`, left running at destruction.
  PostgresServer(std::string folder, Attach);
  // Makes `folder` the server's (the postgres user's under root) and its
  // data folder there, copied from the shared template or made by initdb.
  bool MakeData(const std::string& folder, bool durable);
  // Runs one of the server's programs (or a plain one when `tool` starts
  // with "/") as the server's user; false after noting its output in problem_.
  bool RunTool(const std::string& tool, const std::vector<std::string>& args);
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // The postmaster and its children.
  std::vector<int> ServerProcesses();
  void SignalAll(int signal);

  std::optional<testsupport::TempFolder> own_;  // a private server's folder
  std::string path_;                            // the socket and data folder
  std::string problem_;
  std::string options_;  // the server's own options (socket folder, no TCP)
  bool running_ = false;
  bool stopAtEnd_ = true;
  int databases_ = 0;
};

}  // namespace kv::history::testing
