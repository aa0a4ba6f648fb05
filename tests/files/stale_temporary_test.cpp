// Temporary files a writer killed part way left beside its target are removed
// by the next write of that target; a temporary still being written, and
// files that only look alike, are left alone.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "files/file_sink.h"
#include "support/temp_folder.h"

namespace kv {
namespace {

using testsupport::TempFolder;
using testsupport::WriteBytes;

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

TEST(StaleTemporaries, TheNextWriteRemovesOnlyAbandonedTemporariesOfItsTarget) {
  TempFolder folder;
  const std::string target = folder.File("settings.kvd");
  WriteBytes(target, "old");
  struct Entry {
    const char* name;
    bool removed;
  };
  const Entry kEntries[] = {
      {"settings.kvd.a1B2c3", true},    // what mkstemp makes of .XXXXXX
      {"settings.kvd.ZZZZZZ", true},
      {"settings.kvd.a1B2c", false},    // one letter short
      {"settings.kvd.a1B2c3d", false},  // one too many
      {"settings.kvd.a1-2c3", false},   // not mkstemp's letters
      {"other.kvd.a1B2c3", false},      // another target's
      {"settings.kvd.bak", false},
  };
  // Left a while ago; one left just now may be a writer that has not locked
  // it yet, and stays.
  const auto past = std::filesystem::file_time_type::clock::now() - std::chrono::seconds(10);
  for (const Entry& e : kEntries) {
    WriteBytes(folder.File(e.name), "left");
    std::filesystem::last_write_time(folder.File(e.name), past);
  }
  WriteBytes(folder.File("settings.kvd.JUST00"), "left");
  // One that a live writer is still filling (it holds its lock) and that it
  // goes on writing after the next write.
  AtomicFileSink live(target);
  ASSERT_TRUE(live.Write("being written")) << live.Error();
  const std::set<std::string> before = Names(folder.Dir().string());

  AtomicFileSink sink(target);
  ASSERT_TRUE(sink.Write("new") && sink.Commit()) << sink.Error();

  const std::set<std::string> after = Names(folder.Dir().string());
  for (const Entry& e : kEntries) EXPECT_EQ(after.count(e.name) == 0, e.removed) << e.name;
  EXPECT_EQ(after.count("settings.kvd.JUST00"), 1U);
  EXPECT_EQ(after, before) << "the live writer's temporary must stay";
  ASSERT_TRUE(live.Write(" and more")) << live.Error();
  EXPECT_TRUE(live.Commit()) << live.Error();
  EXPECT_EQ(testsupport::ReadBytes(target), "being written and more");
}

}  // namespace
}  // namespace kv
