// A line of simulated instruments: its command line, the change-over after a
// power off, the final states, and the write one instrument refuses.
#include <gtest/gtest.h>

#include <vector>

#include "protocol/write_lines.h"
#include "sim/sim_line.h"
#include "sim/sim_options.h"
#include "sim/sim_state_file.h"
#include "sim_fixture.h"
#include "station_fixture.h"

namespace kv::sim::testing {
namespace {

TEST(SimLineOptionsTest, LineOptionsAndTheirRefusals) {
  struct Case {
    std::vector<std::string_view> args;
    bool ok;
    std::vector<std::string> line;
    std::string refuseSerial, refuseCode;
  };
  const std::vector<Case> cases = {
      {{"--line", "a.kvd", "b.kvd", "c.kvd", "--line-out", "out"}, true, {"a.kvd", "b.kvd", "c.kvd"}, "", ""},
      {{"--line", "a.kvd", "--refuse-write", "KV:1:GN"}, true, {"a.kvd"}, "KV:1", "GN"},
      {{"--line"}, false, {}, "", ""},
      {{"--line", "--verbose"}, false, {}, "", ""},
      {{"--line", "a.kvd", "--state", "s.kvd"}, false, {}, "", ""},
      {{"--line-out", "out"}, false, {}, "", ""},
      {{"--refuse-write", "KV1"}, false, {}, "", ""},
      {{"--refuse-write", ":GN"}, false, {}, "", ""},
      {{"--refuse-write", "KV1:GNX"}, false, {}, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const ParsedOptions parsed = ParseSimOptions(c.args);
    ASSERT_EQ(parsed.ok, c.ok) << parsed.error;
    if (!c.ok) continue;
    EXPECT_EQ(parsed.options.linePaths, c.line);
    EXPECT_EQ(parsed.options.device.refuseWriteSerial, c.refuseSerial);
    EXPECT_EQ(parsed.options.device.refuseWriteCode, c.refuseCode);
  }
}

class SimLineTest : public SimSession {
 protected:
  SimLineTest() { sim.SetSwitchesOff(true); }
};

TEST_F(SimLineTest, AfterAPowerOffTheNextInstrumentComesOnAndTheLastStaysOff) {
  SimLine line({LineInstrument("A-1", 10), LineInstrument("B-2", 20)});
  sim.PowerOnAs(line.First());
  ASSERT_FALSE(Ask("UL,W,3").empty());
  ASSERT_FALSE(Ask(WriteLineRO()).empty());
  ASSERT_TRUE(sim.PoweredOff());

  ASSERT_TRUE(line.Advance(sim));
  EXPECT_FALSE(sim.PoweredOff());
  EXPECT_EQ(State().SerialNo(), "B-2");
  EXPECT_EQ(State().LcdContrast(), LineInstrument("B-2", 20).LcdContrast()) << "a fresh instrument";

  ASSERT_FALSE(Ask(WriteLineRO()).empty());
  EXPECT_FALSE(line.Advance(sim));
  EXPECT_TRUE(sim.PoweredOff());

  const std::vector<clsInstrument> finals = line.FinalStates(sim);
  ASSERT_EQ(finals.size(), 2U);
  EXPECT_EQ(finals[0].LcdContrast(), 3) << "the first keeps what was written to it";
  EXPECT_EQ(finals[1].SerialNo(), "B-2");
}

TEST_F(SimLineTest, FinalStatesAreSavedUnderTheirSerialNumbers) {
  testsupport::TempFolder folder("kv_line_out");
  SimLine line({LineInstrument("A-1", 10), LineInstrument("B-2", 20)});
  sim.PowerOnAs(line.First());
  std::string error;
  ASSERT_TRUE(line.SaveFinalStates(folder.Path(), sim, &error)) << error;
  clsInstrument saved;
  ASSERT_TRUE(LoadLineInstrument(folder.File("B-2.kvd"), saved, &error)) << error;
  EXPECT_EQ(saved.SerialNo(), "B-2");
  EXPECT_EQ(saved.HH_(1), 27) << "its own calibration";
  ASSERT_TRUE(LoadLineInstrument(folder.File("A-1.kvd"), saved, &error)) << error;
  EXPECT_EQ(saved.HH_(1), 17);
}

class RefusingSimTest : public SimSession {
 protected:
  RefusingSimTest() : SimSession({}, Refusing("A-1", "UL")) {}
};

TEST_F(RefusingSimTest, OnlyTheNamedInstrumentRefusesOnlyTheNamedWrite) {
  struct Case {
    const char* serial;
    const char* code;
    bool taken;
  };
  for (const Case c : {Case{"A-1", "UL", false}, Case{"B-2", "UL", true}, Case{"A-1", "XA", true}}) {
    SCOPED_TRACE(std::string(c.serial) + " " + c.code);
    sim.PowerOnAs(LineInstrument(c.serial, 10));
    const clsInstrument before = State();
    const bool contrast = std::string(c.code) == "UL";
    const int value = contrast ? (before.LcdContrast() == 3 ? 4 : 3) : (before.AlarmSilence() == 0 ? 1 : 0);
    const std::string write = std::string(c.code) + ",W," + std::to_string(value);
    const std::vector<OutgoingReply> replies = Send(write);
    ASSERT_EQ(replies.size(), 1U);
    EXPECT_EQ(replies.front().replyText == write, c.taken) << replies.front().replyText;
    const int now = contrast ? State().LcdContrast() : State().AlarmSilence();
    EXPECT_EQ(now == value, c.taken);
  }
}

}  // namespace
}  // namespace kv::sim::testing
