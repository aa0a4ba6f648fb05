#include "support/scripted_instrument.h"

#include <algorithm>

#include "protocol/frame_view.h"
#include "protocol/framing.h"

namespace kv::testsupport {
namespace {

// Line noise ending like a reply: no STX, bytes from the whole range.
std::string GarbageLine() { return std::string("\x7f\xff\x13\x00noise\x81", 10) + kEOT; }

}  // namespace

std::optional<std::string> CommandTextOf(std::string_view line) {
  if (line.empty() || line.front() != kSTX) {
    return std::nullopt;
  }
  const FrameView view(line);
  if (!view.Noise().empty() || view.Frame().find(kETX) == std::string_view::npos) {
    return std::nullopt;
  }
  return std::string(view.Text());
}

void ScriptedInstrument::Pump() {
  while (true) {
    const auto due = std::find_if(pending_.begin(), pending_.end(),
                                  [this](const Pending& p) { return p.dueTick <= port_.currentTick; });
    if (due == pending_.end()) {
      return;
    }
    Pending reply = *due;
    pending_.erase(due);
    Send(reply);
  }
}

void ScriptedInstrument::OnLine(std::string_view line) {
  if (line.empty() || line.back() != kEOT) {
    return;  // acknowledgement lines and byte arrays
  }
  const std::optional<std::string> command = CommandTextOf(line);
  if (!command) {
    return;
  }
  const int exchange = ++exchanges_;
  commands_.push_back(*command);
  if (hungUp_ || dropped_.count(exchange) != 0) {
    return;
  }
  std::optional<std::string> text = ReplyTextFor(*command);
  if (!text) {
    return;
  }
  std::string frame = garbled_.count(exchange) != 0 ? GarbageLine() : BuildCommandLine(*text, kEOT);
  if (corrupted_.count(exchange) != 0) {
    frame[frame.size() - 2] = frame[frame.size() - 2] == '0' ? '1' : '0';  // checksum digit
  }
  const auto extra = extraDelay_.find(exchange);
  const long due = port_.currentTick + latencyTicks_ + (extra == extraDelay_.end() ? 0 : extra->second);
  Pending reply{frame, due, exchange};
  if (atOnce_ && due <= port_.currentTick) {
    Send(reply);
  } else {
    pending_.push_back(reply);
  }
}

std::optional<std::string> ScriptedInstrument::ReplyTextFor(const std::string& command) const {
  for (const Rule& rule : rules_) {
    if (std::optional<std::string> text = rule(command)) {
      return text;
    }
  }
  return echoUnknown_ ? std::optional<std::string>(command) : std::nullopt;
}

void ScriptedInstrument::Send(const Pending& reply) {
  if (hungUp_) {
    return;
  }
  port_.DeliverInPieces(reply.bytes, pieceSize_);
  if (hangUpAfter_ && reply.exchange >= *hangUpAfter_) {
    hungUp_ = true;
    pending_.clear();
    port_.modemLines = ModemLines{false, false};
    if (lineEvents_ != nullptr) {
      lineEvents_->OnModemLinesChanged(false, false);
    }
  }
}

}  // namespace kv::testsupport
