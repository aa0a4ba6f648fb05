#pragma once
// An instrument in memory that answers command lines by rules and injects
// faults on chosen exchanges: a dropped, corrupted, garbled or delayed reply,
// or a hang-up after the Nth exchange.
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "support/scripted_transport.h"

namespace kv::testsupport {

// The command text of a framed line (between the block and ETX), or nothing
// for a line that is not a framed command.
std::optional<std::string> CommandTextOf(std::string_view line);

// An instrument that answers each command line (EOT-terminated) by rules.
// Exchanges are numbered from 1 in the order the commands arrive (resends
// count as exchanges of their own). Acknowledgement lines get no answer.
class ScriptedInstrument {
 public:
  // The reply text for a command text; nothing stays silent.
  using Rule = std::function<std::optional<std::string>(const std::string& command)>;

  explicit ScriptedInstrument(ScriptedTransport& port) : port_(port) {
    port_.OnWrite([this](std::string_view line) { OnLine(line); });
  }

  // Replies to commands starting with `prefix` with `replyText` (framed, EOT).
  void Answer(std::string prefix, std::string replyText) {
    rules_.push_back([prefix = std::move(prefix),
                      replyText = std::move(replyText)](const std::string& command) {
      return command.rfind(prefix, 0) == 0 ? std::optional<std::string>(replyText) : std::nullopt;
    });
  }
  void AnswerBy(Rule rule) { rules_.push_back(std::move(rule)); }
  // Without a matching rule: echo the command text as the reply text.
  void EchoUnknown(bool echo) { echoUnknown_ = echo; }

  // Replies inside the write (an instant instrument) instead of on Pump().
  void AnswerAtOnce(bool atOnce) { atOnce_ = atOnce; }
  // Replies come out this many ticks after the command.
  void SetLatencyTicks(int ticks) { latencyTicks_ = ticks; }
  // Replies come out in pieces of this many bytes.
  void SetPieceSize(std::size_t size) { pieceSize_ = size; }

  void DropExchange(int n) { dropped_.insert(n); }
  void CorruptExchange(int n) { corrupted_.insert(n); }
  // Exchange n is answered with bytes that hold no frame at all.
  void GarbageExchange(int n) { garbled_.insert(n); }
  void DelayExchange(int n, int extraTicks) { extraDelay_[n] = extraTicks; }
  // After exchange n is answered the instrument hangs up: both modem lines drop.
  void HangUpAfter(int n) { hangUpAfter_ = n; }

  int Exchanges() const { return exchanges_; }
  const std::vector<std::string>& Commands() const { return commands_; }

  // Delivers every reply that is due by now.
  void Pump();
  bool HasPendingReplies() const { return !pending_.empty(); }

 private:
  struct Pending {
    std::string bytes;
    long dueTick;
    int exchange;
  };

  void OnLine(std::string_view line);

  std::optional<std::string> ReplyTextFor(const std::string& command) const;

  void Send(const Pending& reply);

 public:
  // Where a hang-up reports the dropped lines (the link).
  void AttachLineEvents(TransportEvents* events) { lineEvents_ = events; }

 private:
  ScriptedTransport& port_;
  TransportEvents* lineEvents_ = nullptr;
  std::vector<Rule> rules_;
  bool echoUnknown_ = true;
  bool atOnce_ = false;
  int latencyTicks_ = 0;
  std::size_t pieceSize_ = 1 << 20;
  std::set<int> dropped_;
  std::set<int> corrupted_;
  std::set<int> garbled_;
  std::map<int, int> extraDelay_;
  std::optional<int> hangUpAfter_;
  bool hungUp_ = false;
  int exchanges_ = 0;
  std::vector<std::string> commands_;
  std::vector<Pending> pending_;
};

}  // namespace kv::testsupport
