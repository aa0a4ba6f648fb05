// Which snapshot a report of a serial number is made from.
#include "report/history_source.h"

#include <gtest/gtest.h>

#include "files/kvd_writer.h"
#include "memory_store.h"
#include "rules/edit_check.h"
#include "support/temp_folder.h"

namespace kv::report {
namespace {

using testsupport::MakeEvent;
using testsupport::MemoryStore;

struct LatestCase {
  const char* name;
  std::vector<history::Event> events;
  std::string serial;
  std::string expectedSnapshot;  // empty: none found
};

class LatestReadTest : public ::testing::TestWithParam<LatestCase> {};

TEST_P(LatestReadTest, FindsTheLatestSuccessfulReadWithASnapshot) {
  MemoryStore store;
  for (const history::Event& event : GetParam().events) store.Record(event);
  std::string error;
  const std::optional<history::Event> found = LatestReadSnapshot(store, GetParam().serial, &error);
  if (GetParam().expectedSnapshot.empty()) {
    EXPECT_FALSE(found);
    EXPECT_NE(error.find("no read"), std::string::npos) << error;
  } else {
    ASSERT_TRUE(found) << error;
    EXPECT_EQ(found->snapshot, GetParam().expectedSnapshot);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Histories, LatestReadTest,
    ::testing::Values(
        LatestCase{"LaterOfTwoReads",
                   {MakeEvent("S1", "2026-01-01 10:00:00", history::kOpRead, "old"),
                    MakeEvent("S1", "2026-02-01 10:00:00", history::kOpRead, "new")},
                   "S1", "new"},
        // Recorded out of time order: the time decides, not the recording order.
        LatestCase{"TimeOrderNotRecordingOrder",
                   {MakeEvent("S1", "2026-02-01 10:00:00", history::kOpRead, "new"),
                    MakeEvent("S1", "2026-01-01 10:00:00", history::kOpRead, "old")},
                   "S1", "new"},
        LatestCase{"FailedReadPassedOver",
                   {MakeEvent("S1", "2026-01-01 10:00:00", history::kOpRead, "good"),
                    MakeEvent("S1", "2026-02-01 10:00:00", history::kOpRead, "half", "timeout")},
                   "S1", "good"},
        LatestCase{"TransmitIsNotARead",
                   {MakeEvent("S1", "2026-01-01 10:00:00", history::kOpRead, "read"),
                    MakeEvent("S1", "2026-02-01 10:00:00", history::kOpTransmit, "sent")},
                   "S1", "read"},
        LatestCase{"OtherInstrumentPassedOver",
                   {MakeEvent("S1", "2026-01-01 10:00:00", history::kOpRead, "mine"),
                    MakeEvent("S2", "2026-02-01 10:00:00", history::kOpRead, "theirs")},
                   "S1", "mine"},
        LatestCase{"SerialGivenWithBlanks",
                   {MakeEvent("S1", "2026-01-01 10:00:00", history::kOpRead, "mine")},
                   "  S1 ", "mine"},
        LatestCase{"ReadWithoutSnapshot",
                   {MakeEvent("S1", "2026-01-01 10:00:00", history::kOpRead, "")}, "S1", ""},
        LatestCase{"OnlyCalibrations",
                   {MakeEvent("S1", "2026-01-01 10:00:00", history::kOpSpan)}, "S1", ""},
        LatestCase{"UnknownSerial", {}, "S9", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LatestReadTest, AFailedQueryIsReportedAsItsOwnError) {
  MemoryStore store;
  store.Record(MakeEvent("S1", "2026-01-01 10:00:00", history::kOpRead, "x"));
  store.FailQueries("database is locked");
  std::string error;
  EXPECT_FALSE(LatestReadSnapshot(store, "S1", &error));
  EXPECT_EQ(error, "database is locked");
}

}  // namespace
}  // namespace kv::report

namespace kv::report {
namespace {

TEST(LoadSnapshotTest, GivesTheSnapshotsSettingsAndTheEventsSerialNumber) {
  clsInstrument original;
  ASSERT_TRUE(original.SetGasName(4, "NH3") && original.SetXS_(2, "DOCK 7"));
  const testsupport::TempFolder folder;
  ASSERT_TRUE(WriteMaintenanceFile(original, folder.File("s.kvd")).ok);
  const history::Event read = testsupport::MakeEvent(
      "KV-9", "2026-01-01 10:00:00", history::kOpRead, testsupport::ReadBytes(folder.File("s.kvd")));

  clsInstrument loaded;
  EXPECT_TRUE(LoadSnapshot(read, loaded).complete);
  EXPECT_EQ(loaded.GasName(4), "NH3");
  EXPECT_EQ(loaded.XS_(2), "DOCK 7");
  EXPECT_EQ(std::string(rules::Trim(loaded.SerialNo())), "KV-9");
}

}  // namespace
}  // namespace kv::report
