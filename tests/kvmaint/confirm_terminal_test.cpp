// The destructive commands on a terminal: they ask, and only a yes lets
// anything reach the instrument. Here stdin is a terminal by the run's
// context; tests/e2e/confirm_terminal_test.cpp asks on a real one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kvmaint/harness/inprocess_support.h"
#include "support/answer_cases.h"

namespace kv::inproc {
namespace {

// kvmaint with stdin on a terminal where `answer` is typed.
ProgramResult KvmaintOnATerminal(const std::vector<std::string>& args, const std::string& answer) {
  RunSetup setup;
  setup.input = answer;
  setup.stdinTerminal = true;
  setup.stderrTerminal = true;
  return Kvmaint(args, setup);
}

using testsupport::AnswerCase;

constexpr const char* kCleanAir = "This starts a zero calibration: do it only in clean air";
constexpr const char* kSpanGas = "This starts a span calibration: do it only with the span gas applied";

class TerminalConfirmTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(TerminalConfirmTest, AsksAndGoesOnOnlyOnYes) {
  const AnswerCase& c = GetParam();
  TempDir dir;
  const std::string trace = dir.File("trace.txt");
  Simulator sim({"--busy-polls", "0", "--trace", trace});
  ASSERT_FALSE(sim.Device().empty());
  std::vector<std::string> args = c.args;
  args.insert(args.end(), {"--port", sim.Device()});
  const ProgramResult run = KvmaintOnATerminal(args, c.answer);
  const std::string shown = run.out + run.err;
  ASSERT_EQ(sim.Stop(), 0);
  testsupport::ExpectAnswered(c, run.exitCode, shown, ReadBytes(trace));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, TerminalConfirmTest,
    ::testing::Values(
        AnswerCase{"FactoryResetNo", {"factory-reset"}, "n\n", 2, "UP,W,", false},
        AnswerCase{"FactoryResetJustEnter", {"factory-reset"}, "\n", 2, "UP,W,", false},
        AnswerCase{"FactoryResetYes", {"factory-reset"}, "y\n", 0, "UP,W,", true},
        AnswerCase{"LoadDefaultsSomethingElse", {"load-defaults", "--kind", "3"}, "maybe\n", 2,
                   "UX,W,3", false},
        AnswerCase{"LoadDefaultsYesInFull", {"load-defaults", "--kind", "3"}, "yes\n", 0, "UX,W,3",
                   true},
        AnswerCase{"ZeroNo", {"zero"}, "n\n", 2, "SZ,W,", false, kCleanAir},
        AnswerCase{"ZeroYes", {"zero"}, "y\n", 0, "SZ,W,", true, kCleanAir},
        AnswerCase{"SpanNo", {"span"}, "\n", 2, "S1,W,", false, kSpanGas}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::inproc
