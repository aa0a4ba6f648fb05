// Coroutine waits on the link and the runner of top-level transactions.
#include <exception>
#include <utility>

#include "link/link.h"

namespace kv {

struct uclTzif::TopLevelRun {
  struct promise_type {
    TopLevelRun get_return_object() noexcept {
      return TopLevelRun{std::coroutine_handle<promise_type>::from_promise(*this)};
    }
    // Suspended at first so the link holds the handle before anything runs.
    std::suspend_always initial_suspend() const noexcept { return {}; }
    // The frame frees itself once the transaction has reported its result.
    std::suspend_never final_suspend() const noexcept { return {}; }
    void return_void() const noexcept {}
    [[noreturn]] void unhandled_exception() const noexcept { std::terminate(); }
  };

  std::coroutine_handle<promise_type> handle;
};

uclTzif::DriveScope::~DriveScope() {
  if (--link_.driveDepth_ == 0) {
    link_.ResumeFinishedWait();
  }
}

bool uclTzif::WaitIsOver() const {
  switch (waitKind_) {
    case WaitKind::Status:
      return status_ != waitStatus_;
    case WaitKind::Ticks:
      return waitTicksLeft_ <= 0;
    case WaitKind::None:
      break;
  }
  return false;
}

void uclTzif::ResumeFinishedWait() {
  while (waiter_ && WaitIsOver()) {
    const std::coroutine_handle<> waiting = std::exchange(waiter_, {});
    waitKind_ = WaitKind::None;
    sink_ = nullptr;  // later replies belong to no one until the next wait
    // Runs the transaction until its next wait; entry points it calls on the
    // way see a depth of 1 and leave resuming to this loop.
    ++driveDepth_;
    waiting.resume();
    --driveDepth_;
  }
}

bool uclTzif::StatusAwaiter::await_ready() const noexcept {
  return send_ == SendKind::None && link_.status_ != waitStatus_;
}

bool uclTzif::StatusAwaiter::await_suspend(std::coroutine_handle<> waiting) {
  // Set before the send: a port that answers inside the write fills it too.
  link_.sink_ = &sink_;
  if (send_ != SendKind::None) {
    // A port that answers inside the write completes the exchange right here;
    // the depth keeps that reception from resuming anyone.
    ++link_.driveDepth_;
    link_.status_ = waitStatus_;
    if (send_ == SendKind::Line) {
      link_.DataSend(payload_, true);
    } else if (!link_.DataSendArry(payload_, true)) {
      link_.status_ = LinkStatus::Failed;
    }
    --link_.driveDepth_;
  }
  if (link_.status_ != waitStatus_) {
    link_.sink_ = nullptr;
    return false;  // already answered: carry on without suspending
  }
  link_.waiter_ = waiting;
  link_.waitKind_ = WaitKind::Status;
  link_.waitStatus_ = waitStatus_;
  return true;
}

void uclTzif::TickAwaiter::await_suspend(std::coroutine_handle<> waiting) noexcept {
  link_.waiter_ = waiting;
  link_.waitKind_ = WaitKind::Ticks;
  link_.waitTicksLeft_ = ticks_;
}

uclTzif::StatusAwaiter uclTzif::SendAndWait(ReplySink& sink, std::string_view commandText,
                                            LinkStatus waitStatus, std::string_view block) {
  return StatusAwaiter(*this, sink, SendKind::Line, BuildCommandLine(commandText, kEOT, block),
                       waitStatus);
}

uclTzif::StatusAwaiter uclTzif::SendLineAndWait(ReplySink& sink, std::string line,
                                                LinkStatus waitStatus) {
  return StatusAwaiter(*this, sink, SendKind::Line, std::move(line), waitStatus);
}

uclTzif::StatusAwaiter uclTzif::SendBytesAndWait(ReplySink& sink, std::string bytes,
                                                 LinkStatus waitStatus) {
  return StatusAwaiter(*this, sink, SendKind::Bytes, std::move(bytes), waitStatus);
}

uclTzif::StatusAwaiter uclTzif::WaitWhileStatus(ReplySink& sink, LinkStatus status) {
  return StatusAwaiter(*this, sink, SendKind::None, std::string(), status);
}

uclTzif::TickAwaiter uclTzif::WaitTicks(int ticks) { return TickAwaiter(*this, ticks); }

uclTzif::TopLevelRun uclTzif::RunTopLevel(uclTzif* link, Transaction transaction,
                                          std::function<void(bool)> onDone) {
  const bool result = co_await transaction.AwaitStarted();
  link->runner_ = {};  // free for the next transaction, which onDone may start
  if (onDone) {
    onDone(result);
  }
}

bool uclTzif::Start(Transaction transaction, std::function<void(bool)> onDone) {
  if (runner_ || !transaction.Valid()) {
    return false;
  }
  DriveScope scope(*this);
  const TopLevelRun run = RunTopLevel(this, std::move(transaction), std::move(onDone));
  runner_ = run.handle;
  run.handle.resume();
  return true;
}

}  // namespace kv
