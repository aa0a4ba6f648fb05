// kvmaint set on one maintenance file from many processes at once: every
// edit is kept (the runs wait for one another), and a run killed part way
// leaves neither a damaged file nor a temporary file behind the next run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <thread>

#include "e2e_support.h"

namespace kv::e2e {
namespace {

using namespace std::chrono_literals;

// Everything in `folder` but `keep`.
std::vector<std::string> OtherFiles(const std::filesystem::path& folder, const std::string& keep) {
  std::vector<std::string> others;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename() != keep) others.push_back(entry.path().filename().string());
  }
  return others;
}

// Whether a station name of `record` is `name` (the runs edit stations 1 to 20).
bool HoldsStation(const clsInstrument& record, const std::string& name) {
  for (int entry = 0; entry <= 20; ++entry) {
    if (record.XS_(entry) == name) return true;
  }
  return false;
}

class ConcurrentEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.Ok());
    std::filesystem::create_directories(folder);
    // kvsim writes its settings as a maintenance file when it ends.
    Simulator sim({"--state-out", file});
    ASSERT_FALSE(sim.Device().empty());
    ASSERT_EQ(sim.Stop(), 0);
    ASSERT_FALSE(ReadBytes(file).empty());
  }

  TempDir dir;
  std::filesystem::path folder = dir.Dir() / "edits";
  std::string file = (folder / "settings.kvd").string();
};

TEST_F(ConcurrentEdit, TwentySetsAtOnceKeepEveryEdit) {
  constexpr int kRuns = 20;
  std::vector<std::unique_ptr<ChildProcess>> runs;
  for (int i = 1; i <= kRuns; ++i) {
    runs.push_back(std::make_unique<ChildProcess>(std::vector<std::string>{
        KV_KVMAINT_PATH, "set", file, "XS_[" + std::to_string(i) + "]=EDIT" + std::to_string(i)}));
  }
  std::vector<int> refused;
  for (int i = 1; i <= kRuns; ++i) {
    const ProgramResult result = runs[static_cast<std::size_t>(i - 1)]->Finish();
    if (result.exitCode != 0) {
      // Only a run that waited too long may give up, and it says so.
      EXPECT_THAT(result.err, ::testing::HasSubstr("is being changed by another program")) << i;
      refused.push_back(i);
    }
  }
  const clsInstrument record = LoadRecord(file);
  for (int i = 1; i <= kRuns; ++i) {
    if (std::find(refused.begin(), refused.end(), i) != refused.end()) continue;
    EXPECT_TRUE(HoldsStation(record, "EDIT" + std::to_string(i))) << "the edit of run " << i << " was lost";
  }
  EXPECT_THAT(OtherFiles(folder, "settings.kvd"), ::testing::IsEmpty());
}

TEST_F(ConcurrentEdit, RunsKilledPartWayLeaveNoTemporaryFileBehindTheNextRun) {
  constexpr int kKills = 50;
  for (int round = 0; round < kKills; ++round) {
    ChildProcess run({KV_KVMAINT_PATH, "set", file, "XS_[1]=KILL" + std::to_string(round)});
    // Spread over the run's life: start-up, the read, the write, the rename.
    std::this_thread::sleep_for(std::chrono::microseconds(500 * (round % 40)));
    run.Signal(SIGKILL);
    (void)run.Finish();
  }
  // A temporary younger than 2 s may be one a live writer has not locked yet.
  std::this_thread::sleep_for(2100ms);
  const ProgramResult last = Kvmaint({"set", file, "XS_[1]=LAST"});
  ASSERT_EQ(last.exitCode, 0) << last.err;
  EXPECT_TRUE(HoldsStation(LoadRecord(file), "LAST"));
  EXPECT_THAT(OtherFiles(folder, "settings.kvd"), ::testing::IsEmpty());
}

}  // namespace
}  // namespace kv::e2e
