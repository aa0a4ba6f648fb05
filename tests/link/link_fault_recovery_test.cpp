// One read whose first reply is lost in a way the shared fault injector can
// produce: the link resends the command and the second reply completes it.
#include <gtest/gtest.h>

#include "link/fakes.h"

namespace kv::test {
namespace {

struct FaultCase {
  const char* name;
  std::function<void(ScriptedInstrument&)> inject;  // on exchange 1
};

void PrintTo(const FaultCase& fault, std::ostream* out) { *out << fault.name; }

class FirstReplyLost : public ::testing::TestWithParam<FaultCase> {
 protected:
  FirstReplyLost() : dispatcher(h.link) {
    h.instrument.EchoUnknown(true);
    h.instrument.SetLatencyTicks(1);
    h.ForceConnected();
  }

  LinkHarness h;
  FakeDispatcher dispatcher;
  LinkStatus ended = LinkStatus::Idle;
  Outcome outcome;
};

TEST_P(FirstReplyLost, TheResentCommandCompletesTheRead) {
  GetParam().inject(h.instrument);
  ASSERT_TRUE(h.link.Start(SendOne(h.link, "VP,R,", LinkStatus::ReadWaiting, &ended),
                           outcome.Callback()));
  for (int i = 0; i < 200 && !outcome.result; ++i) h.Tick();

  EXPECT_EQ(ended, LinkStatus::Complete);
  EXPECT_EQ(outcome.result, std::optional<bool>(true));
  EXPECT_EQ(h.instrument.Commands(), (std::vector<std::string>{"VP,R,", "VP,R,"}));
  // Only the second, sound reply may have been accepted.
  ASSERT_FALSE(dispatcher.frames.empty());
  EXPECT_EQ(dispatcher.frames.back(), BuildCommandLine("VP,R,", kEOT));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FirstReplyLost,
    ::testing::Values(
        FaultCase{"Dropped", [](ScriptedInstrument& i) { i.DropExchange(1); }},
        FaultCase{"Corrupted", [](ScriptedInstrument& i) { i.CorruptExchange(1); }},
        FaultCase{"Garbled", [](ScriptedInstrument& i) { i.GarbageExchange(1); }},
        FaultCase{"DelayedPastTheTimeOut", [](ScriptedInstrument& i) { i.DelayExchange(1, 100); }}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::test
