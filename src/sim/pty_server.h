#pragma once
// Serves the simulated instrument on a pseudo-terminal: reads requests from
// the master, answers them, optionally paced as a serial line of a given baud
// rate, and traces the exchange.
#include <chrono>
#include <deque>
#include <ostream>
#include <string>

#include "sim/pty_port.h"
#include "sim/sim_instrument.h"

namespace kv::sim {

struct ServeOptions {
  // 0: replies go out at once; otherwise each reply is held until the request
  // and the reply would have crossed a line of this rate (10 bits a byte).
  long baud = 0;
  std::ostream* trace = nullptr;  // one line per request and reply when set
};

class PtyServer {
 public:
  PtyServer(PtyPort& port, SimInstrument& instrument, ServeOptions options);

  // Serves until `stopFd` becomes readable (a signal handler writes to it).
  void Run(int stopFd);
  // One wait of at most `timeoutMs` (-1: until something happens), then the
  // reading and sending it allows. False once `stopFd` is readable.
  bool Step(int stopFd, int timeoutMs);
  // The time the requests answered so far and their replies took on the
  // line at the paced baud rate (none unpaced).
  std::chrono::microseconds LineTimeSoFar() const { return lineTime_; }

 private:
  using SteadyClock = std::chrono::steady_clock;
  struct Scheduled {
    SteadyClock::time_point due;
    OutgoingReply reply;
  };

  void ReadRequests();
  void Schedule(OutgoingReply reply, SteadyClock::time_point now);
  void SendDueReplies(SteadyClock::time_point now);
  void FlushOutbox();
  int MillisecondsToNextDue(SteadyClock::time_point now) const;
  std::chrono::microseconds WireTime(std::size_t bytes) const;

  PtyPort& port_;
  SimInstrument& instrument_;
  ServeOptions options_;
  std::deque<Scheduled> pending_;
  SteadyClock::time_point lastDue_{};
  std::chrono::microseconds lineTime_{0};
  std::string outbox_;
  bool hangUpWhenSent_ = false;
  // Closing the master discards what the program has not read yet, so the
  // hang-up waits for the last reply to be read (or for this deadline).
  SteadyClock::time_point hangUpDeadline_{};
  bool peerHasUnread_ = false;
};

}  // namespace kv::sim
