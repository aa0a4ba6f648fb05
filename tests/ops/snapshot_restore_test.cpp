// A recorded snapshot written back as a file to send: whole, or not at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "files/kvd_writer.h"
#include "ops/service_snapshots.h"
#include "sim/sim_default_state.h"
#include "support/sample_record.h"
#include "support/temp_folder.h"

namespace kv::ops {
namespace {

struct RestoreCase {
  const char* name;
  std::function<std::string()> snapshot;
  bool complete;  // reads to its end
  bool written;
};

// A record the instrument would take whole: the simulated instrument's own.
std::string Sendable() { return MaintenanceFileText(sim::MakeDemoInstrument()); }

void PrintTo(const RestoreCase& c, std::ostream* out) { *out << c.name; }

class SnapshotRestoreTest : public ::testing::TestWithParam<RestoreCase> {};

TEST_P(SnapshotRestoreTest, WritesOnlyASnapshotThatReadsToItsEnd) {
  const testsupport::TempFolder folder;
  const std::string path = folder.File("restored.kvd");
  testsupport::WriteBytes(path, "the file there before");
  const std::string snapshot = GetParam().snapshot();
  const SnapshotRestore restore = RestoreSnapshot(snapshot, path);
  EXPECT_EQ(restore.written, GetParam().written)
      << restore.writeError << (restore.problems.empty() ? "" : restore.problems.front().reason);
  EXPECT_EQ(restore.loaded.complete, GetParam().complete);
  EXPECT_EQ(testsupport::ReadBytes(path), GetParam().written ? snapshot : "the file there before");
}

INSTANTIATE_TEST_SUITE_P(
    Snapshots, SnapshotRestoreTest,
    ::testing::Values(RestoreCase{"Whole", [] { return Sendable(); }, true, true},
                      RestoreCase{"CutShort", [] { return Sendable().substr(0, Sendable().size() / 2); }, false, false},
                      // The sample's location names hold lower case, which a send refuses.
                      RestoreCase{"NotSendable", [] { return MaintenanceFileText(testsupport::SampleRecord()); },
                                  true, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::ops
