#pragma once
// The link's own test pieces: a listener that records every event and a
// harness that ties the shared scripted port and instrument to a link on a
// virtual clock.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <iterator>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "common/clock.h"
#include "link/link.h"
#include "link/task.h"
#include "link/transport.h"
#include "protocol/framing.h"
#include "support/scripted_instrument.h"
#include "support/temp_folder.h"

namespace kv::test {

using testsupport::CommandTextOf;
using testsupport::ScriptedInstrument;
using testsupport::ScriptedTransport;
using testsupport::FreshTempPath;
using testsupport::ReadBytes;

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

}  // namespace kv::test
