// Bytes from the port in any amount, order and timing: the link cuts them into
// frames, hands each to the reply dispatcher and answers it. Whatever arrives,
// it must neither crash nor leave a transaction waiting without a time-out.
//
// Input: one mode byte, then chunks. Each chunk is a control byte (low six
// bits: length; bit 6: a session tick after the chunk; bit 7: a second's worth
// of ticks) followed by that many bytes from the instrument.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "common/clock.h"
#include "fuzz_target.h"
#include "link/link.h"
#include "protocol/framing.h"
#include "reply_samples.h"
#include "support/scripted_transport.h"

namespace {

// One read as the window runs it: the command goes out, the link waits; the
// reply goes into `record` when one is given.
kv::Transaction AwaitReply(kv::uclTzif& link, kv::clsInstrument* record,
                           kv::LinkStatus waitStatus) {
  kv::ReplySink sink(record);
  const kv::LinkStatus ended = co_await link.SendAndWait(sink, "SA,R,", waitStatus);
  co_return ended == kv::LinkStatus::Complete;
}

constexpr unsigned char kTickAfter = 0x40;
constexpr unsigned char kSecondAfter = 0x80;
constexpr unsigned char kLengthMask = 0x3F;

}  // namespace

std::vector<std::string> FuzzSeeds() {
  std::vector<std::string> seeds;
  for (const std::string& text : ReplySampleTexts()) {
    const std::string frame = kv::BuildCommandLine(text, kv::kEOT, "00");
    // Mode 0x05: a record attached, a read waiting. The frame comes in two
    // chunks with a tick between them, then a second passes.
    std::string seed(1, '\x05');
    const std::size_t half = frame.size() / 2;
    seed += static_cast<char>(kTickAfter | half);
    seed += frame.substr(0, half);
    const std::size_t rest = std::min<std::size_t>(frame.size() - half, kLengthMask);
    seed += static_cast<char>(kSecondAfter | rest);
    seed += frame.substr(half, rest);
    seeds.push_back(seed);
  }
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned char mode = data[0];
  kv::ManualClock clock(kv::DateTime{2026, 3, 5, 14, 7, 9});
  kv::testsupport::ScriptedTransport transport;
  transport.modemLines = std::nullopt;
  kv::uclTzif link(transport, clock);
  kv::clsInstrument record;
  kv::clsInstrument* const target = mode & 0x04 ? &record : nullptr;
  link.SetTimeout(1);
  link.SetRetry(mode & 0x08 ? 0 : 2);
  (void)link.SetPortOpen(true);
  switch (mode & 0x03) {
    case 1: (void)link.Start(AwaitReply(link, target, kv::LinkStatus::ReadWaiting)); break;
    case 2: (void)link.Start(AwaitReply(link, target, kv::LinkStatus::WriteWaiting)); break;
    case 3: link.SetStatus(kv::LinkStatus::BinaryTransfer); break;
    default: break;  // the connect sequence: probes, then whatever answers
  }
  link.SetRunDensty((mode & 0x10) != 0);

  std::size_t at = 1;
  while (at < size) {
    const unsigned char control = data[at++];
    const std::size_t length = std::min<std::size_t>(control & kLengthMask, size - at);
    link.OnBytesReceived(std::string_view(reinterpret_cast<const char*>(data) + at, length));
    at += length;
    const int ticks = (control & kSecondAfter ? kv::uclTzif::kTicksPerSecond : 0) +
                      (control & kTickAfter ? 1 : 0);
    for (int t = 0; t < ticks; ++t) {
      clock.AdvanceMilliseconds(100);
      link.Tick();
    }
  }
  // A few seconds for the connect sequence; a transaction gets long enough
  // for every time-out and retry to run out: nothing may hang.
  constexpr int kSettleTicks = 3 * kv::uclTzif::kTicksPerSecond;
  constexpr int kHangTicks = 40 * kv::uclTzif::kTicksPerSecond;
  for (int t = 0; t < kHangTicks && (t < kSettleTicks || link.TaskRunning()); ++t) link.Tick();
  if (link.TaskRunning()) std::abort();
  return 0;
}
