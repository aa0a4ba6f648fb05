#pragma once
// Reusable fakes for tests of the link and of the transactions built on it:
// a transport that records every write, a scripted instrument that answers
// command lines by rules (and can drop, delay, corrupt or hang up), a listener
// that records every event, and a harness that ties them to a link on a
// virtual clock.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "common/clock.h"
#include "link/link.h"
#include "link/task.h"
#include "link/transport.h"
#include "protocol/framing.h"

namespace kv::test {

// A port in memory. Writes are recorded with the tick they happened on;
// Deliver() plays bytes from the instrument to the attached link.
class ScriptedTransport final : public Transport {
 public:
  struct WrittenLine {
    std::string bytes;
    long tick;
  };

  void Attach(TransportEvents* events) override { events_ = events; }
  // Called on every write, after it is recorded (the scripted instrument).
  void OnWrite(std::function<void(std::string_view)> observer) { observer_ = std::move(observer); }

  OpenResult Open() override {
    ++opens;
    if (!openable) {
      return OpenResult::Failed(refusal);
    }
    open_ = true;
    return OpenResult::Opened();
  }
  void Close() override {
    ++closes;
    open_ = false;
  }
  bool IsOpen() const override { return open_; }

  bool Write(std::string_view bytes) override {
    writes.push_back({std::string(bytes), currentTick});
    if (!writable) {
      return false;  // refused: the instrument never sees it
    }
    if (observer_) {
      observer_(bytes);
    }
    return open_;
  }

  void SetDtr(bool on) override { dtr = on; }
  void SetRts(bool on) override { rts = on; }
  void SetHandshaking(int mode) override { handshaking_ = mode; }
  int Handshaking() const override { return handshaking_; }
  bool SetSettings(std::string_view settings) override {
    settings_ = settings;
    return true;
  }
  std::string Settings() const override { return settings_; }
  std::optional<ModemLines> ReadModemLines() const override { return modemLines; }

  // Bytes from the instrument, in one piece.
  void Deliver(std::string_view bytes) {
    if (events_ != nullptr) {
      events_->OnBytesReceived(bytes);
    }
  }
  // The same bytes in pieces of `pieceSize`.
  void DeliverInPieces(std::string_view bytes, std::size_t pieceSize) {
    for (std::size_t at = 0; at < bytes.size(); at += pieceSize) {
      Deliver(bytes.substr(at, pieceSize));
    }
  }

  std::vector<std::string> WrittenBytes() const {
    std::vector<std::string> all;
    for (const WrittenLine& write : writes) {
      all.push_back(write.bytes);
    }
    return all;
  }

  std::vector<WrittenLine> writes;
  long currentTick = 0;
  int opens = 0;
  int closes = 0;
  bool openable = true;
  OpenFailure refusal = OpenFailure::PermissionDenied;
  // False: every write is refused (the port cannot take the bytes).
  bool writable = true;
  bool dtr = false;
  bool rts = false;
  // Nothing: a device without modem lines (a pseudo-terminal).
  std::optional<ModemLines> modemLines = ModemLines{true, true};

 private:
  TransportEvents* events_ = nullptr;
  std::function<void(std::string_view)> observer_;
  bool open_ = false;
  int handshaking_ = 0;
  std::string settings_ = "9600,n,8,1";
};

// The command text of a framed line (between the block and ETX), or nothing
// for a line that is not a framed command.
inline std::optional<std::string> CommandTextOf(std::string_view line) {
  constexpr std::size_t kTextAt = 5;
  const std::size_t etx = line.find(kETX);
  if (line.size() < kTextAt + 4 || line.front() != kSTX || etx == std::string_view::npos ||
      etx < kTextAt) {
    return std::nullopt;
  }
  return std::string(line.substr(kTextAt, etx - kTextAt));
}

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
  void DelayExchange(int n, int extraTicks) { extraDelay_[n] = extraTicks; }
  // After exchange n is answered the instrument hangs up: both modem lines drop.
  void HangUpAfter(int n) { hangUpAfter_ = n; }

  int Exchanges() const { return exchanges_; }
  const std::vector<std::string>& Commands() const { return commands_; }

  // Delivers every reply that is due by now.
  void Pump() {
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
  bool HasPendingReplies() const { return !pending_.empty(); }

 private:
  struct Pending {
    std::string bytes;
    long dueTick;
    int exchange;
  };

  void OnLine(std::string_view line) {
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
    std::string frame = BuildCommandLine(*text, kEOT);
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

  std::optional<std::string> ReplyTextFor(const std::string& command) const {
    for (const Rule& rule : rules_) {
      if (std::optional<std::string> text = rule(command)) {
        return text;
      }
    }
    return echoUnknown_ ? std::optional<std::string>(command) : std::nullopt;
  }

  void Send(const Pending& reply) {
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
  std::map<int, int> extraDelay_;
  std::optional<int> hangUpAfter_;
  bool hungUp_ = false;
  int exchanges_ = 0;
  std::vector<std::string> commands_;
  std::vector<Pending> pending_;
};

// Records every event of the link, with the tick it came on.
class RecordingListener final : public LinkListener {
 public:
  struct Event {
    std::string name;
    std::string argument;
    long tick;
  };

  explicit RecordingListener(const long& currentTick) : currentTick_(currentTick) {}

  void OnConnect() override { Add("OnConnect"); }
  void Densty(const std::array<Single, kSensorChannels>& values) override {
    readings.push_back(values);
    Add("Densty");
  }
  void ConnectRetry(int count) override { Add("ConnectRetry", std::to_string(count)); }
  void InstMessage(const std::string& text) override { Add("InstMessage", text); }
  void InterMessage(const std::string& text) override { Add("InterMessage", text); }
  void AlarmMessage(const std::string& text) override { Add("AlarmMessage", text); }
  void DumpMessage(const std::string& text) override { Add("DumpMessage", text); }
  void LinkLost() override { Add("LinkLost"); }
  void StsTransmit() override { ++transmits; }
  void StsIdle() override { ++idles; }
  void Progress(int done, int total) override {
    Add("Progress", std::to_string(done) + "/" + std::to_string(total));
  }

  std::vector<Event> Named(std::string_view name) const {
    std::vector<Event> found;
    std::copy_if(events.begin(), events.end(), std::back_inserter(found),
                 [name](const Event& e) { return e.name == name; });
    return found;
  }

  std::vector<Event> events;
  std::vector<std::array<Single, kSensorChannels>> readings;
  int transmits = 0;
  int idles = 0;

 private:
  void Add(std::string name, std::string argument = {}) {
    events.push_back({std::move(name), std::move(argument), currentTick_});
  }
  const long& currentTick_;
};

// A link on a virtual clock with a scripted port, instrument and listener.
// Retry 3 and Timeout 3, as the main window sets them.
struct LinkHarness {
  LinkHarness() : link(port, clock), instrument(port), events(port.currentTick) {
    port.Attach(&link);
    instrument.AttachLineEvents(&link);
    link.SetListener(&events);
    link.SetRetry(3);
    link.SetTimeout(3);
  }

  // One session tick: 100 ms pass, due replies come in, then the link ticks.
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      ++port.currentTick;
      clock.AdvanceMilliseconds(100);
      instrument.Pump();
      link.Tick();
    }
  }

  // Opens the port and runs ticks until the link is Connected (or gives up).
  bool Connect(int maxTicks = 400) {
    if (!link.PortOpen()) {
      link.SetPortOpen(true);
    }
    for (int i = 0; i < maxTicks && link.State() != LinkState::Connected; ++i) {
      Tick();
    }
    return link.State() == LinkState::Connected;
  }

  // Puts the link straight into the Connected state without the probe (the
  // fake reply handler stands in for the dispatcher's connect check).
  void ForceConnected() {
    port.Open();
    link.ConnectReplyReceived();
    link.SetStatus(LinkStatus::Ready);
  }

  ManualClock clock{DateTime{2026, 3, 5, 14, 7, 9}};
  ScriptedTransport port;
  uclTzif link;
  ScriptedInstrument instrument;
  RecordingListener events;
};

// Sends one command and keeps the Status that ended its wait; the reply goes
// into `record` when one is given.
inline Transaction SendOne(uclTzif& link, std::string command, LinkStatus waitStatus,
                           LinkStatus* ended, clsInstrument* record = nullptr) {
  ReplySink sink(record);
  const LinkStatus status = co_await link.SendAndWait(sink, command, waitStatus);
  *ended = status;
  co_return status == LinkStatus::Complete;
}

// Sends the commands in order, stopping at the first that fails; replies go
// into `record` when one is given.
inline Transaction SendAll(uclTzif& link, std::vector<std::string> commands,
                           std::vector<LinkStatus>* ended, clsInstrument* record = nullptr) {
  ReplySink sink(record);
  for (const std::string& command : commands) {
    const LinkStatus status = co_await link.SendAndWait(sink, command, LinkStatus::ReadWaiting);
    ended->push_back(status);
    if (status != LinkStatus::Complete) {
      co_return false;
    }
  }
  co_return true;
}

// Stands in for the dispatcher: records every frame handed to it and accepts
// those whose checksum is right.
struct FakeDispatcher {
  explicit FakeDispatcher(uclTzif& link) {
    link.SetReplyHandler([this](std::string_view frame, ReplySink&) {
      frames.emplace_back(frame);
      return ChecksumMatches(frame);
    });
  }
  std::vector<std::string> frames;
};

// Outcome of a started transaction.
struct Outcome {
  std::optional<bool> result;
  std::function<void(bool)> Callback() {
    return [this](bool ok) { result = ok; };
  }
};

// A folder of this test process's own, removed with everything in it when
// the process ends, so that runs neither collide nor leave files behind.
inline const std::string& ProcessTempFolder() {
  static const struct Folder {
    std::string path;
    Folder() {
      path = ::testing::TempDir() + "kv_link_tests_" + std::to_string(::getpid()) + "/";
      std::filesystem::create_directories(path);
    }
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  } folder;
  return folder.path;
}

// A fresh path in the process's temporary folder (any old file removed).
inline std::string FreshTempPath(const std::string& name) {
  const std::string path = ProcessTempFolder() + name;
  std::remove(path.c_str());
  return path;
}

// The whole file as bytes; empty when it does not exist.
inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace kv::test
