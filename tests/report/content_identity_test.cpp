// Which instrument a maintenance data file belongs to: the instrument whose
// latest read in the history holds the same bytes or the same settings.
#include "report/content_identity.h"

#include <gtest/gtest.h>

#include "files/kvd_writer.h"
#include "report/memory_store.h"
#include "support/sample_record.h"

namespace kv::report {
namespace {

using testsupport::MakeEvent;

std::string WithLineFeedsOnly(std::string text) {
  std::erase(text, '\r');
  return text;
}

clsInstrument Edited(int coWarning) {
  clsInstrument record = testsupport::SampleRecord();
  EXPECT_TRUE(record.SetWarning(3, coWarning));
  return record;
}

struct IdentityCase {
  const char* name;
  std::string file;                   // the content looked up
  std::vector<std::string> serials;   // every instrument it matches
  bool named;                         // exactly one: the file names it
  bool sameBytes;
};

class IdentifyByContentTest : public ::testing::TestWithParam<IdentityCase> {
 protected:
  void SetUp() override {
    // KV-1 was read twice (its settings changed in between), KV-2 and KV-3
    // hold the same settings, KV-4 was never read.
    store_.Record(MakeEvent("KV-1", "2026-01-01 08:00:00", history::kOpRead, MaintenanceFileText(Edited(40))));
    store_.Record(MakeEvent("KV-1", "2026-02-01 08:00:00", history::kOpRead, MaintenanceFileText(Edited(30))));
    store_.Record(MakeEvent("KV-2", "2026-02-02 08:00:00", history::kOpRead, MaintenanceFileText(Edited(35))));
    store_.Record(MakeEvent("KV-3", "2026-02-03 08:00:00", history::kOpRead, MaintenanceFileText(Edited(35))));
    store_.Record(MakeEvent("KV-4", "2026-02-04 08:00:00", history::kOpPowerOff));
  }
  testsupport::MemoryStore store_;
};

TEST_P(IdentifyByContentTest, NamesTheOneInstrumentWhoseLatestReadMatches) {
  const IdentityCase& c = GetParam();
  std::string error;
  const ContentIdentity found = IdentifyByContent(store_, c.file, &error);
  EXPECT_EQ(error, "");
  EXPECT_EQ(found.serials, c.serials);
  ASSERT_EQ(found.read.has_value(), c.named);
  if (!c.named) return;
  EXPECT_EQ(found.read->serial, c.serials.front());
  EXPECT_EQ(found.read->time, "2026-02-01 08:00:00");
  EXPECT_TRUE(found.read->snapshot.empty()) << "the identity carries no snapshot";
  EXPECT_EQ(found.sameBytes, c.sameBytes);
  EXPECT_NE(IdentityText(found).find("S/N KV-1, read 2026-02-01 08:00:00"), std::string::npos)
      << IdentityText(found);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IdentifyByContentTest,
    ::testing::Values(
        IdentityCase{"TheBackupOfTheRead", MaintenanceFileText(Edited(30)), {"KV-1"}, true, true},
        IdentityCase{"TheSameSettingsWrittenOtherwise", WithLineFeedsOnly(MaintenanceFileText(Edited(30))),
                     {"KV-1"}, true, false},
        IdentityCase{"SettingsNoLatestReadHolds", MaintenanceFileText(Edited(45)), {}, false, false},
        // An earlier read of KV-1: the instrument has been read since with other settings.
        IdentityCase{"AnOlderReadOnly", MaintenanceFileText(Edited(40)), {}, false, false},
        IdentityCase{"TwoInstrumentsHoldThem", MaintenanceFileText(Edited(35)), {"KV-2", "KV-3"}, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IdentityTextTest, SaysWhyAFileNamesNoInstrument) {
  EXPECT_EQ(IdentityText(ContentIdentity{std::nullopt, {}, false}),
            "the file does not hold the serial number, and no instrument's latest read in the history "
            "holds these settings");
  EXPECT_EQ(IdentityText(ContentIdentity{std::nullopt, {"KV-2", "KV-3"}, true}),
            "the file does not hold the serial number, and the latest reads of several instruments hold "
            "these settings: KV-2, KV-3");
}

TEST(IdentifyByContentFailureTest, AHistoryThatCannotBeAskedSaysSo) {
  testsupport::MemoryStore store;
  store.Record(MakeEvent("KV-1", "2026-02-01 08:00:00", history::kOpRead, "x"));
  store.FailQueries("database is locked");
  std::string error;
  const ContentIdentity found = IdentifyByContent(store, "x", &error);
  EXPECT_EQ(error, "database is locked");
  EXPECT_FALSE(found.read);
}

}  // namespace
}  // namespace kv::report
