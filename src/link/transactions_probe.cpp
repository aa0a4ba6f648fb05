// Short exchanges for a line of instruments placed one after another: the
// next instrument is asked for every tick after a power-off, instead of at
// the connect sequence's pace (a probe every 2.3 s, port reopened between).
#include "link/transactions.h"

namespace kv {
namespace {

// One resend a tick after the first line; the exchange has failed on the
// tick after that. A probe and its answer cross a 9600 baud line well
// within one tick.
constexpr int kQuickResends = 1;

// Gives the link a reply time-out of no whole second for one exchange and
// restores its own however the exchange ends.
class QuickTimeout {
 public:
  explicit QuickTimeout(uclTzif& link) : link_(link), seconds_(link.Timeout()), retry_(link.Retry()) {
    link_.SetTimeout(0);
    link_.SetRetry(kQuickResends);
  }
  ~QuickTimeout() {
    link_.SetTimeout(seconds_);
    link_.SetRetry(retry_);
  }
  QuickTimeout(const QuickTimeout&) = delete;
  QuickTimeout& operator=(const QuickTimeout&) = delete;

 private:
  uclTzif& link_;
  int seconds_;
  int retry_;
};

}  // namespace

Task<bool> ProbeQuickly(uclTzif& link) {
  if (!link.PortOpen()) {
    // Opened here, not through the link: the connect sequence stays out of it.
    const OpenResult opened = link.Port().Open();
    if (!opened) {
      co_await link.WaitTicks(1);
      co_return false;
    }
  }
  const int faultsBefore = link.FaultCount();
  ReplySink sink;
  const QuickTimeout quick(link);
  const LinkStatus ended = co_await link.SendAndWait(sink, uclTzif::kProbeCommand, LinkStatus::ReadWaiting);
  const bool answered = ended == LinkStatus::Complete && link.State() == LinkState::Connected;
  // A line that refused the probe outright (the send fault) is asked again
  // on the next tick, not in a loop at once.
  if (!answered && link.FaultCount() != faultsBefore) co_await link.WaitTicks(1);
  co_return answered;
}

Task<bool> ReadSerialQuickly(uclTzif& link, clsInstrument& record) {
  ReplySink sink(&record);
  const QuickTimeout quick(link);
  const LinkStatus ended = co_await link.SendAndWait(sink, "IN,R,", LinkStatus::ReadWaiting);
  co_return ended == LinkStatus::Complete;
}

}  // namespace kv
