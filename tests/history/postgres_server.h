#pragma once
// A private PostgreSQL server for one test: initdb and pg_ctl in a temporary
// folder, listening only on a Unix socket there, stopped and removed after.
// initdb refuses root, so under root the server runs as the postgres user.
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace kv::history::testing {

class PostgresServer {
 public:
  // `durable`: the server flushes every commit to disk, as a real one does
  // (tests leave that out for speed).
  explicit PostgresServer(bool durable = false);
  ~PostgresServer();
  PostgresServer(const PostgresServer&) = delete;
  PostgresServer& operator=(const PostgresServer&) = delete;

  // False when no PostgreSQL programs are installed (the test then skips).
  static bool Installed();
  // Empty when the server runs; otherwise what went wrong.
  const std::string& Problem() const { return problem_; }
  // A new empty database on the server, as a URL for the history.
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
  const std::string& SocketFolder() const { return folder_.Path(); }

 private:
  // Runs one of the server's programs as the server's user; false after
  // noting its output in problem_.
  bool RunTool(const std::string& tool, const std::vector<std::string>& args);
  // The postmaster and its children.
  std::vector<int> ServerProcesses();
  void SignalAll(int signal);

  testsupport::TempFolder folder_{"kvpg"};
  std::string problem_;
  std::string options_;  // the server's own options (socket folder, no TCP)
  bool running_ = false;
  int databases_ = 0;
};

}  // namespace kv::history::testing
