#pragma once
// A time limit on each statement a database server is sent. The server's own
// statement_timeout ends a slow statement, but not one sent to a server that
// has stopped (a suspended process, a cable pulled on a socket that keeps no
// time): the client would wait for its answer for ever. The watchdog shuts the
// connection's socket down when a statement outlives its limit, or at once
// when asked (the program ends), so the statement fails and the store
// connects afresh next time.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace kv::history {

class StatementWatchdog {
 public:
  explicit StatementWatchdog(std::chrono::milliseconds limit) : limit_(limit) {}
  ~StatementWatchdog();
  StatementWatchdog(const StatementWatchdog&) = delete;
  StatementWatchdog& operator=(const StatementWatchdog&) = delete;

  // A statement starts on `socket` (-1: unknown, nothing to watch); it may
  // take `limit` instead of the usual limit (a schema migration).
  void Arm(int socket);
  void Arm(int socket, std::chrono::milliseconds limit);
  // It ended; from here on the socket belongs to the connection again.
  void Disarm();
  // From any thread: ends the statement in progress now (and any started later
  // until Rearm), for the end of the program.
  void CutNow();

 private:
  void Watch();

  const std::chrono::milliseconds limit_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int socket_ = -1;
  std::chrono::steady_clock::time_point deadline_;
  bool cutAll_ = false;
  bool stopping_ = false;
  std::thread thread_;  // started with the first statement
};

// The socket of the open QPSQL connection behind `handle` (QSqlDriver::handle), or -1.
int PostgresSocket(const void* variantHandle);

}  // namespace kv::history
