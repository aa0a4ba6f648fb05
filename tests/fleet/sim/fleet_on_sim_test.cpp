// kvmaint fleet on three simulated instruments read into one history: one
// calibrated today, the other two 400 days ago (past their limit of 90), one
// with a CO warning level the company's policy does not have.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "files/kvd_writer.h"
#include "kvmaint/harness/inprocess_support.h"
#include "rules/edit_check.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;

int ChannelOf(const clsInstrument& record, const std::string& gas) {
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    if (std::string(rules::Trim(record.GasName(channel))) == gas) return channel;
  }
  return -1;
}

class FleetOnSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.Ok());
    ASSERT_FALSE(SimulatorSettingsFile().empty());
    const clsInstrument policy = LoadRecord(SimulatorSettingsFile());
    ASSERT_TRUE(WriteMaintenanceFile(policy, Policy()).ok);
    clsInstrument offPolicy = policy;
    coChannel = ChannelOf(policy, "CO");
    ASSERT_GE(coChannel, 0);
    ASSERT_TRUE(offPolicy.SetWarning(coChannel, policy.Warning(coChannel) + 5));
    ASSERT_TRUE(WriteMaintenanceFile(policy, dir.File(kOverdue + ".kvd")).ok);
    ASSERT_TRUE(WriteMaintenanceFile(policy, dir.File(kCalibrated + ".kvd")).ok);
    ASSERT_TRUE(WriteMaintenanceFile(offPolicy, dir.File(kOffPolicy + ".kvd")).ok);
    for (const std::string& serial : {kOverdue, kCalibrated, kOffPolicy}) {
      sims[serial] = std::make_unique<Simulator>(
          std::vector<std::string>{"--line", dir.File(serial + ".kvd"), "--calibrated-days-ago", "400"});
      ASSERT_FALSE(sims[serial]->Device().empty()) << sims[serial]->Error();
      ASSERT_EQ(On(serial, {"get"}).exitCode, 0);
    }
    ASSERT_EQ(On(kOverdue, {"cal-history"}).exitCode, 0);
    ASSERT_EQ(On(kOffPolicy, {"cal-history"}).exitCode, 0);
    ASSERT_EQ(On(kCalibrated, {"span", "--yes"}).exitCode, 0);
  }

  std::string Policy() const { return dir.File("company.kvd"); }
  ProgramResult On(const std::string& serial, std::vector<std::string> args) {
    args.insert(args.end(), {"--port", sims[serial]->Device(), "--data-dir", dir.File("data")});
    return Kvmaint(args);
  }
  ProgramResult Fleet(std::vector<std::string> args) {
    args.insert(args.begin(), "fleet");
    args.insert(args.end(), {"--data-dir", dir.File("data")});
    return Kvmaint(args);
  }
  // The "state" of each serial in a --json answer.
  static std::map<std::string, std::string> States(const ProgramResult& result) {
    std::map<std::string, std::string> states;
    const std::optional<Json> json = ParseJson(result.out);
    EXPECT_TRUE(json.has_value()) << result.out;
    if (json) {
      for (const Json& i : (*json)["instruments"].items) states[i["serial"].text] = i["state"].text;
    }
    return states;
  }

  const std::string kOverdue = "KV-OVERDUE", kCalibrated = "KV-CALIBRATED", kOffPolicy = "KV-OFFPOLICY";
  TempDir dir;
  std::map<std::string, std::unique_ptr<Simulator>> sims;
  int coChannel = -1;
};

TEST_F(FleetOnSimTest, DueNamesTheOverdueInstruments) {
  const ProgramResult json = Fleet({"due", "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  const std::map<std::string, std::string> expected{
      {kOverdue, "overdue"}, {kCalibrated, "ok"}, {kOffPolicy, "overdue"}};
  EXPECT_EQ(States(json), expected);

  const ProgramResult text = Fleet({"due"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  const std::vector<std::string> lines = Lines(text.out);
  ASSERT_EQ(lines.size(), 5U) << text.out;  // header, three instruments, summary
  EXPECT_EQ(lines.back(), "2 overdue, 0 due within 30 days, 1 ok, 0 not known");
  for (const std::string& line : lines) {
    if (line.starts_with(kCalibrated)) {
      EXPECT_THAT(line, HasSubstr("\tok\t"));
    } else if (line.starts_with(kOverdue)) {
      EXPECT_THAT(line, HasSubstr("\toverdue\t"));
    }
  }
}

TEST_F(FleetOnSimTest, AuditNamesTheInstrumentAndSettingOffPolicy) {
  const ProgramResult json = Fleet({"audit", "--policy", Policy(), "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  const std::map<std::string, std::string> expected{
      {kOverdue, "compliant"}, {kCalibrated, "compliant"}, {kOffPolicy, "differs"}};
  EXPECT_EQ(States(json), expected);
  const std::optional<Json> parsed = ParseJson(json.out);
  ASSERT_TRUE(parsed.has_value());
  for (const Json& i : (*parsed)["instruments"].items) {
    if (i["serial"].text != kOffPolicy) continue;
    ASSERT_EQ(i["settings"].items.size(), 1U) << json.out;
    EXPECT_EQ(i["settings"][0]["setting"].text, "CO warning level");
    EXPECT_NE(i["settings"][0]["policy"].text, i["settings"][0]["instrument"].text);
  }

  const ProgramResult text = Fleet({"audit", "--policy", Policy()});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  const std::vector<std::string> lines = Lines(text.out);
  ASSERT_EQ(lines.size(), 5U) << text.out;
  EXPECT_EQ(lines.back(), "2 compliant, 1 differ, 0 never read");
  bool named = false;
  for (const std::string& line : lines) {
    if (line.starts_with(kOffPolicy)) named = line.find("CO warning level") != std::string::npos;
  }
  EXPECT_TRUE(named) << text.out;
}

TEST_F(FleetOnSimTest, CsvHasOneRowPerInstrumentAndAHeader) {
  const ProgramResult csv = Fleet({"due", "--csv"});
  ASSERT_EQ(csv.exitCode, 0) << csv.err;
  const std::vector<std::string> lines = Lines(csv.out);
  ASSERT_EQ(lines.size(), 4U) << csv.out;
  EXPECT_EQ(lines.front(), "serial,model,last_seen,last_read,state,state_text,channel,calibrated,due");
}

}  // namespace
}  // namespace kv::inproc
