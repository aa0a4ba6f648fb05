#pragma once
// Shared pieces of the simulator tests: the program's side of the exchange
// (its reply dispatcher with a recording link), framing, and the program's
// read list.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/clock.h"
#include "protocol/dispatcher.h"
#include "protocol/dispatcher_fixture.h"
#include "protocol/framing.h"
#include "sim/sim_default_state.h"
#include "sim/sim_instrument.h"

namespace kv::sim::testing {

// The program's link as far as the dispatcher sees it.
using ProgramLink = kv::testing::RecordingLink;

// The program's 200 read commands, in the order it sends them.
std::vector<std::string> ProgramReadList();

// A simulator on a fixed clock, and the program's side talking to it.
class SimSession : public ::testing::Test {
 protected:
  explicit SimSession(FaultPlan faults = {}, SimDeviceOptions options = {})
      : sim(clock, MakeDemoInstrument(), options, std::move(faults)) {}

  // Sends one command text framed as the program frames it; returns the reply
  // frames the simulator sends back (none, or one).
  std::vector<OutgoingReply> Send(std::string_view commandText) {
    link.lastLineSent = BuildCommandLine(commandText, kEOT, "00");
    return sim.Receive(link.lastLineSent);
  }
  // Sends and returns the one reply's bytes ("" when there was none).
  std::string Ask(std::string_view commandText) {
    const auto replies = Send(commandText);
    return replies.size() == 1 ? replies.front().bytes : std::string{};
  }
  // Sends and hands the reply to the program's dispatcher.
  bool Exchange(std::string_view commandText) {
    const std::string reply = Ask(commandText);
    return !reply.empty() && ApplyReply(reply, &record, link);
  }
  const clsInstrument& State() const { return sim.Device().Settings(); }

  ManualClock clock{DateTime{2026, 3, 5, 14, 7, 9}};
  SimInstrument sim;
  ProgramLink link;
  clsInstrument record;  // the program's record
};

}  // namespace kv::sim::testing
