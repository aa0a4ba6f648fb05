#include "historydb/statement_watchdog.h"

#include <QVariant>
#include <cstring>

#include <sys/socket.h>

#ifdef KV_HAVE_LIBPQ
#include <libpq-fe.h>
#endif

namespace kv::history {

StatementWatchdog::~StatementWatchdog() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void StatementWatchdog::Arm(int socket) { Arm(socket, limit_); }

void StatementWatchdog::Arm(int socket, std::chrono::milliseconds limit) {
  const std::lock_guard lock(mutex_);
  if (cutAll_ && socket >= 0) ::shutdown(socket, SHUT_RDWR);
  socket_ = socket;
  deadline_ = std::chrono::steady_clock::now() + limit;
  if (socket >= 0 && !thread_.joinable()) thread_ = std::thread([this] { Watch(); });
  changed_.notify_all();
}

void StatementWatchdog::Disarm() {
  const std::lock_guard lock(mutex_);
  socket_ = -1;
  changed_.notify_all();
}

void StatementWatchdog::CutNow() {
  const std::lock_guard lock(mutex_);
  cutAll_ = true;
  if (socket_ >= 0) ::shutdown(socket_, SHUT_RDWR);
}

void StatementWatchdog::Watch() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    if (socket_ < 0) {
      changed_.wait(lock);
      continue;
    }
    const auto deadline = deadline_;
    const int socket = socket_;
    if (changed_.wait_until(lock, deadline, [&] { return stopping_ || socket_ != socket || deadline_ != deadline; })) {
      continue;
    }
    // Still the same statement after its limit: end it.
    ::shutdown(socket_, SHUT_RDWR);
    socket_ = -1;
  }
}

int PostgresSocket(const void* variantHandle) {
#ifdef KV_HAVE_LIBPQ
  const auto& handle = *static_cast<const QVariant*>(variantHandle);
  if (!handle.isValid() || std::strcmp(handle.typeName(), "PGconn*") != 0) return -1;
  PGconn* connection = *static_cast<PGconn* const*>(handle.constData());
  return connection == nullptr ? -1 : PQsocket(connection);
#else
  static_cast<void>(variantHandle);
  return -1;
#endif
}

}  // namespace kv::history
