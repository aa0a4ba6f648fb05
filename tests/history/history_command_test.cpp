// kvmaint history's own refusals: actions it does not know, missing or extra
// words, events that do not exist or hold no settings. Each leaves nothing
// written and says what is wrong.
#include <gmock/gmock.h>

#include <QCoreApplication>

#include "kvmaint/harness/inprocess_support.h"
#include "historydb/sql_store.h"

namespace kv::history::testing {
namespace {

struct RefusalCase {
  const char* name;
  std::vector<std::string> args;
  int exitCode;
  const char* message;

  friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
};

class HistoryCommandTest : public ::testing::TestWithParam<RefusalCase> {};

// Records one event of `serial` in the SQLite file `database`.
void RecordEvent(const std::string& database, const std::string& serial, const char* operation) {
  StoreLocation location;
  location.kind = StoreKind::SQLite;
  location.path = database;
  SqlStore store(location);
  Event event;
  event.serial = serial;
  event.time = "2026-01-01 00:00:00";
  event.operation = operation;
  event.result = "ok";
  EXPECT_TRUE(store.Record(event).recorded);
}

TEST_P(HistoryCommandTest, RefusesAndSaysWhy) {
  inproc::TempDir dir;
  const std::string database = dir.File("h.sqlite");
  RecordEvent(database, "A", kOpSetClock);  // event 1: no settings recorded with it
  std::vector<std::string> args{"history", "--history", database};
  for (const std::string& arg : GetParam().args) {
    args.push_back(arg == "OUT" ? dir.File("out.kvd") : arg == "DIR" ? dir.File("exported") : arg);
  }
  const testsupport::ProgramResult result = inproc::Kvmaint(args);
  EXPECT_EQ(result.exitCode, GetParam().exitCode) << result.err;
  EXPECT_THAT(result.err, ::testing::HasSubstr(GetParam().message));
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.kvd")));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, HistoryCommandTest,
    ::testing::Values(
        RefusalCase{"UnknownAction", {"undo"}, 2, "unknown history action \"undo\""},
        RefusalCase{"DiffOfOne", {"diff", "1"}, 2, "wrong number of arguments for \"diff\""},
        RefusalCase{"RestoreWithoutFile", {"restore", "1"}, 2, "wrong number of arguments"},
        RefusalCase{"ExportWithoutSerial", {"export", "DIR"}, 2, "export needs --serial S"},
        RefusalCase{"ExportOfEmptySerial", {"export", "--serial", " ", "DIR"}, 2, "export needs a serial number"},
        RefusalCase{"NotANumber", {"restore", "first", "OUT"}, 2, "\"first\" is not an event number"},
        RefusalCase{"NoSuchEvent", {"restore", "7", "OUT"}, 2, "no event 7 in the history"},
        RefusalCase{"NoSettingsInTheEvent", {"restore", "1", "OUT"}, 2, "event 1 (set-clock) holds no settings"},
        RefusalCase{"DiffWithoutSettings", {"diff", "1", "1"}, 2, "holds no settings"},
        RefusalCase{"ExportOfNothing", {"export", "--serial", "A", "DIR"}, 1,
                    "no settings recorded for serial number \"A\""}),
    [](const auto& info) { return std::string(info.param.name); });

// An empty --serial lists the events whose instrument gave no serial number
// (a power off), not every instrument's.
TEST(HistoryListTest, AnEmptySerialListsTheEventsWithoutOne) {
  inproc::TempDir dir;
  const std::string database = dir.File("h.sqlite");
  for (const char* serial : {"A", "", "B"}) RecordEvent(database, serial, *serial ? kOpRead : kOpPowerOff);
  const testsupport::ProgramResult listed =
      inproc::Kvmaint({"history", "--history", database, "--serial", "", "--json"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  const std::optional<inproc::Json> json = inproc::ParseJson(listed.out);
  ASSERT_TRUE(json.has_value()) << listed.out;
  ASSERT_EQ(json->items.size(), 1U) << listed.out;
  EXPECT_EQ(json->items[0]["operation"].text, kOpPowerOff);
}

}  // namespace
}  // namespace kv::history::testing
