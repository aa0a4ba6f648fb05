// The simulator's command line.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "sim/sim_options.h"

namespace kv::sim {
namespace {

ParsedOptions Parse(std::vector<std::string_view> args) { return ParseSimOptions(args); }

struct OptionCase {
  std::vector<std::string_view> args;
  std::function<void(const SimOptions&)> check;
};

TEST(SimOptionsTest, ValidCommandLines) {
  const std::vector<OptionCase> cases = {
      {{},
       [](const SimOptions& o) {
         EXPECT_EQ(o.baud, 0);
         EXPECT_TRUE(o.faults.Empty());
         EXPECT_FALSE(o.verbose);
       }},
      {{"--state", "in.kvd", "--state-out", "out.kvd", "--link", "/tmp/korvin"},
       [](const SimOptions& o) {
         EXPECT_EQ(o.statePath, "in.kvd");
         EXPECT_EQ(o.stateOutPath, "out.kvd");
         EXPECT_EQ(o.linkPath, "/tmp/korvin");
       }},
      {{"--baud", "9600", "--verbose", "--busy-polls", "0"},
       [](const SimOptions& o) {
         EXPECT_EQ(o.baud, 9600);
         EXPECT_TRUE(o.verbose);
         EXPECT_EQ(o.device.busyPolls, 0);
       }},
      {{"--drop", "3", "--corrupt", "4", "--garbage", "5", "--hangup", "9", "--delay", "6:1500",
        "--delay", "6:500"},
       [](const SimOptions& o) {
         EXPECT_TRUE(o.faults.Has(FaultKind::Drop, 3));
         EXPECT_FALSE(o.faults.Has(FaultKind::Drop, 4));
         EXPECT_TRUE(o.faults.Has(FaultKind::Corrupt, 4));
         EXPECT_TRUE(o.faults.Has(FaultKind::Garbage, 5));
         EXPECT_TRUE(o.faults.Has(FaultKind::HangUp, 9));
         EXPECT_EQ(o.faults.DelayMs(6), 2000);
         EXPECT_EQ(o.faults.DelayMs(5), 0);
       }},
      {{"--noise-before-reply", "--drop", "2"},
       [](const SimOptions& o) {
         EXPECT_EQ(o.faults.NoiseBeforeReply(), std::string(1, '\0'));
         EXPECT_TRUE(o.faults.Has(FaultKind::Drop, 2));
       }},
      {{"--store-wrong", "GN"},
       [](const SimOptions& o) { EXPECT_EQ(o.device.storeWrongCode, "GN"); }},
      {{"--help"}, [](const SimOptions& o) { EXPECT_TRUE(o.help); }},
      {{"--summary"}, [](const SimOptions& o) { EXPECT_TRUE(o.summary && !o.verbose); }},
      {{"--calibrated-days-ago", "400"}, [](const SimOptions& o) { EXPECT_EQ(o.calibratedDaysAgo, 400); }},
      {{"--verbose"}, [](const SimOptions& o) { EXPECT_EQ(o.calibratedDaysAgo, -1); }},
  };
  for (const OptionCase& c : cases) {
    const ParsedOptions parsed = Parse(c.args);
    ASSERT_TRUE(parsed.ok) << parsed.error;
    c.check(parsed.options);
  }
}

TEST(SimOptionsTest, InvalidCommandLinesSayWhy) {
  const std::vector<std::pair<std::vector<std::string_view>, std::string>> cases = {
      {{"--drop", "0"}, "--drop"},
      {{"--drop", "x"}, "--drop"},
      {{"--delay", "3"}, "--delay"},
      {{"--delay", "3:-5"}, "--delay"},
      {{"--baud", "-9600"}, "--baud"},
      {{"--state"}, "--state"},
      {{"--store-wrong", "GNX"}, "--store-wrong"},
      {{"--frobnicate", "1"}, "--frobnicate"},
      {{"--calibrated-days-ago", "-1"}, "--calibrated-days-ago"},
      {{"--calibrated-days-ago", "40000"}, "--calibrated-days-ago"},
      {{"stray"}, "stray"},
  };
  for (const auto& [args, mention] : cases) {
    const ParsedOptions parsed = Parse(args);
    EXPECT_FALSE(parsed.ok) << mention;
    EXPECT_NE(parsed.error.find(mention), std::string::npos) << parsed.error;
  }
}

}  // namespace
}  // namespace kv::sim
