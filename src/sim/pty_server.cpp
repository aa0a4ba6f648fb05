#include "sim/pty_server.h"

#include <poll.h>
#include <sys/prctl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "sim/sim_trace.h"

namespace kv::sim {
namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr auto kHangUpGrace = std::chrono::milliseconds(500);
constexpr int kHangUpPollMs = 10;

}  // namespace

PtyServer::PtyServer(PtyPort& port, SimInstrument& instrument, ServeOptions options)
    : port_(port), instrument_(instrument), options_(options) {
  // The kernel may otherwise stretch short waits by 50 us, which adds up over
  // hundreds of paced replies.
  if (options_.baud > 0) ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

void PtyServer::Run(int stopFd) {
  while (Step(stopFd, -1)) {
  }
}

std::chrono::microseconds PtyServer::WireTime(std::size_t bytes) const {
  return LineTime(bytes, options_.baud);
}

int PtyServer::MillisecondsToNextDue(SteadyClock::time_point now) const {
  if (pending_.empty()) return -1;
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(pending_.front().due - now);
  return static_cast<int>(std::clamp<long long>(wait.count(), 0, 60000));
}

bool PtyServer::Step(int stopFd, int timeoutMs) {
  std::array<pollfd, 2> fds{{{stopFd, POLLIN, 0}, {port_.Master(), POLLIN, 0}}};
  if (!outbox_.empty()) fds[1].events |= POLLOUT;
  const nfds_t count = port_.IsOpen() ? 2 : 1;
  int timeout = MillisecondsToNextDue(SteadyClock::now());
  if (timeout < 0 || (timeoutMs >= 0 && timeoutMs < timeout)) timeout = timeoutMs;
  if (!outbox_.empty() && timeout < 0) timeout = 1000;
  if (hangUpWhenSent_ && port_.IsOpen() && (timeout < 0 || timeout > kHangUpPollMs)) {
    timeout = kHangUpPollMs;
  }
  // Wait to the exact moment the next reply is due, not to the next whole
  // millisecond: a paced reply must leave when its bytes would have crossed.
  timespec wait{};
  timespec* waitFor = nullptr;
  if (timeout >= 0) {
    std::chrono::nanoseconds ns = std::chrono::milliseconds(timeout);
    if (!pending_.empty()) {
      const auto untilDue = std::max<std::chrono::nanoseconds>(
          std::chrono::nanoseconds{0}, pending_.front().due - SteadyClock::now());
      ns = std::min(ns, untilDue);
    }
    wait.tv_sec = static_cast<time_t>(ns.count() / 1000000000);
    wait.tv_nsec = static_cast<long>(ns.count() % 1000000000);
    waitFor = &wait;
  }
  if (::ppoll(fds.data(), count, waitFor, nullptr) < 0 && errno != EINTR) return false;
  if ((fds[0].revents & POLLIN) != 0) return false;
  if (count > 1 && (fds[1].revents & POLLIN) != 0) ReadRequests();
  SendDueReplies(SteadyClock::now());
  return true;
}

void PtyServer::ReadRequests() {
  std::array<char, kReadChunk> chunk{};
  const auto now = SteadyClock::now();
  for (;;) {
    const ssize_t got = ::read(port_.Master(), chunk.data(), chunk.size());
    if (got <= 0) break;  // EAGAIN: all read
    const long rejectedBefore = instrument_.RejectedFrames();
    for (OutgoingReply& reply :
         instrument_.Receive({chunk.data(), static_cast<std::size_t>(got)})) {
      Schedule(std::move(reply), now);
    }
    if (instrument_.RejectedFrames() != rejectedBefore) TraceIgnoredRequest(options_.trace);
  }
}

void PtyServer::Schedule(OutgoingReply reply, SteadyClock::time_point now) {
  const std::chrono::microseconds onTheLine = WireTime(reply.requestBytes + reply.bytes.size());
  lineTime_ += onTheLine;
  auto due = std::max(now, lastDue_) + onTheLine + std::chrono::milliseconds{reply.delayMs};
  lastDue_ = due;
  pending_.push_back({due, std::move(reply)});
}

void PtyServer::SendDueReplies(SteadyClock::time_point now) {
  while (!pending_.empty() && pending_.front().due <= now && !hangUpWhenSent_) {
    OutgoingReply reply = std::move(pending_.front().reply);
    pending_.pop_front();
    TraceReply(options_.trace, reply);
    outbox_ += reply.bytes;
    hangUpWhenSent_ = reply.hangUpAfter;
    hangUpDeadline_ = now + kHangUpGrace;
    peerHasUnread_ = false;
  }
  FlushOutbox();
}

void PtyServer::FlushOutbox() {
  while (port_.IsOpen() && !outbox_.empty()) {
    const ssize_t sent = ::write(port_.Master(), outbox_.data(), outbox_.size());
    if (sent < 0) {
      if (errno == EINTR) continue;
      break;  // EAGAIN: the rest goes when the line can take it
    }
    outbox_.erase(0, static_cast<std::size_t>(sent));
  }
  if (!hangUpWhenSent_ || !outbox_.empty() || !port_.IsOpen()) return;
  // The bytes reach the program's side a moment after the write: wait until
  // they have been seen there and read, or the grace time is over.
  const bool unread = port_.BytesWaitingForPeer() > 0;
  peerHasUnread_ = peerHasUnread_ || unread;
  if ((peerHasUnread_ && !unread) || SteadyClock::now() >= hangUpDeadline_) {
    TraceHangUp(options_.trace);
    port_.HangUp();
    pending_.clear();
  }
}

}  // namespace kv::sim
