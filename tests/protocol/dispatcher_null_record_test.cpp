// Replies that arrive while nothing is pending: the link then hands the
// dispatcher no record. Every key of the catalogue, with well-formed frames of
// several shapes, must be refused or applied without touching a record.
#include <set>

#include "model/instrument_settings.h"
#include "protocol/catalogue_rows.h"
#include "protocol/dispatcher_fixture.h"

namespace kv {
namespace {

using testing::Frame;
using testing::RecordingLink;

// Field shapes that reach the deeper paths of the rows: no fields, one field,
// seven level fields, and more fields than any row reads.
std::vector<std::string> DataShapes() {
  std::string many;
  for (int k = 0; k < 40; ++k) many += "1,";
  return {"", "1", "0064,0064,0064,0064,0064,0064,0064", many};
}

// Every value of a record, so that two records can be compared whole.
std::vector<SettingValue> Snapshot(const clsInstrument& record) {
  std::vector<SettingValue> values;
  for (const SettingInfo& setting : AllSettings()) {
    for (int i = 0; i < setting.count; ++i) values.push_back(setting.get(record, i));
  }
  return values;
}

// Rows that accept a reply without a record but store into one when given it.
const std::set<std::string> kStoresWhenGiven{
    "DN,R",  // live readings are shown even when no record is attached
};

TEST(DispatcherNullRecordTest, EveryKeyWithoutRecordNeverCrashes) {
  const std::vector<std::string> keys = CatalogueKeys();
  ASSERT_FALSE(keys.empty());
  for (const std::string& key : keys) {
    for (const std::string& data : DataShapes()) {
      const std::string reply = key + "," + data;
      SCOPED_TRACE(reply);
      RecordingLink link;
      link.lastLineSent = BuildCommandLine(reply);
      const bool acceptedWithout = ApplyReply(Frame(reply), nullptr, link);
      if (!acceptedWithout || kStoresWhenGiven.count(key) != 0) continue;
      // A row that gets by without a record must not store into one either:
      // otherwise it is declared wrongly and reads a null record somewhere.
      clsInstrument record;
      const std::vector<SettingValue> before = Snapshot(record);
      RecordingLink withRecord;
      withRecord.lastLineSent = link.lastLineSent;
      (void)ApplyReply(Frame(reply), &record, withRecord);
      EXPECT_EQ(Snapshot(record), before);
    }
  }
}

// The reported input: an unchecked write echo before the first probe.
TEST(DispatcherNullRecordTest, UncheckedEchoWithoutRecordIsAccepted) {
  for (const std::string code : {"UI", "UV", "AF", "UW", "XD"}) {
    SCOPED_TRACE(code);
    RecordingLink link;
    EXPECT_TRUE(ApplyReply(Frame(code + ",W,"), nullptr, link));
  }
}

}  // namespace
}  // namespace kv
