#pragma once
// Shared pieces of the transaction tests: a connected link on the virtual
// clock with its session log in a file, a reply handler for a permissive
// instrument, and rules for instruments that change their answer over time.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "link/fakes.h"
#include "protocol/dispatcher.h"
#include "protocol/frame_view.h"
#include "protocol/framing.h"

namespace kv::test {

// "XX,A" of a frame, or "" for a frame too short to hold one.
inline std::string ReplyKey(std::string_view frame) { return std::string(FrameView(frame).Key()); }

// Accepts every reply whose checksum is right, as an instrument that takes
// whatever it is sent. The completion replies of the service operations also
// go through the real dispatcher, so the busy flag and results in the
// exchange's sink move.
// `onAccepted` sees the key of every accepted reply (to play the record's
// side effects).
inline void AcceptEverything(uclTzif& link,
                             std::function<void(const std::string& key)> onAccepted = {}) {
  static const std::set<std::string> kCompletionKeys = {"BP,R", "BP,A", "UX,C", "SZ,C", "S2,C"};
  link.SetReplyHandler([&link, onAccepted = std::move(onAccepted)](std::string_view frame,
                                                                  ReplySink& sink) {
    if (!ChecksumMatches(frame)) return false;
    const std::string key = ReplyKey(frame);
    if (kCompletionKeys.count(key) != 0 && !ApplyReply(frame, sink, link)) {
      return false;
    }
    if (onAccepted) onAccepted(key);
    return true;
  });
}

// Answers commands starting with `prefix` with `replies` in turn, then with
// the last one for ever.
inline ScriptedInstrument::Rule InTurn(std::string prefix, std::vector<std::string> replies) {
  auto next = std::make_shared<std::size_t>(0);
  return [prefix = std::move(prefix), replies = std::move(replies),
          next](const std::string& command) -> std::optional<std::string> {
    if (command.rfind(prefix, 0) != 0 || replies.empty()) return std::nullopt;
    const std::size_t at = std::min(*next, replies.size() - 1);
    ++*next;
    return replies[at];
  };
}

// To the link, the instrument stays silent to commands starting with
// `prefix`: it answers them only with a reply to another command, which the
// link ignores.
inline ScriptedInstrument::Rule SilentTo(std::string prefix) {
  return [prefix = std::move(prefix)](const std::string& command) -> std::optional<std::string> {
    if (command.rfind(prefix, 0) != 0) return std::nullopt;
    return std::string("ZZ,Z,");
  };
}

inline std::string WithAck(std::string head) { return head + kACK; }
inline std::string WithSub(std::string head) { return head + kSUB; }

// Every PID entry's unit as an instrument reports it (the unit travels as
// an index, so a read never leaves it empty), so that the record check lets
// the unused ranges of a blank record through.
inline void UnitsAsReported(clsInstrument& record) {
  for (int entry = 0; entry < kPidReachable; ++entry) {
    for (int range = 0; range < kPidRanges; ++range) record.SetPIDUnit(entry, range, "ppm");
  }
}

// A connected link, replies one tick after each command, the session log in
// a file of its own.
class TransactionTest : public ::testing::Test {
 protected:
  TransactionTest() {
    h.ForceConnected();
    h.instrument.SetLatencyTicks(1);
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');
    logPath_ = FreshTempPath("kv_transactions_" + name + ".log");
    h.link.Log().Open(logPath_);
  }

  // Starts the transaction and ticks until it ends (or `maxTicks` pass).
  std::optional<bool> Run(Transaction transaction, int maxTicks = 5000) {
    outcome_ = {};
    EXPECT_TRUE(h.link.Start(std::move(transaction), outcome_.Callback()));
    for (int i = 0; i < maxTicks && !outcome_.result; ++i) h.Tick();
    return outcome_.result;
  }
  std::optional<bool> Result() const { return outcome_.result; }
  void Start(Transaction transaction) {
    outcome_ = {};
    ASSERT_TRUE(h.link.Start(std::move(transaction), outcome_.Callback()));
  }

  const std::vector<std::string>& Commands() const { return h.instrument.Commands(); }
  std::string LogText() {
    h.link.Log().Close();
    const std::string text = ReadBytes(logPath_);
    h.link.Log().Open(logPath_);
    return text;
  }
  bool Logged(std::string_view text) { return LogText().find(text) != std::string::npos; }

  LinkHarness h;

 private:
  std::string logPath_;
  Outcome outcome_;
};

}  // namespace kv::test
