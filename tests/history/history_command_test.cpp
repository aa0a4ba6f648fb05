// kvmaint history's own refusals: actions it does not know, missing or extra
// words, events that do not exist or hold no settings. Each leaves nothing
// written and says what is wrong.
#include <gmock/gmock.h>

#include <QCoreApplication>
#include <random>
#include <sstream>

#include "kvmaint/harness/inprocess_support.h"
#include "cli/cmd_history_table.h"
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
void RecordEvent(const std::string& database, const std::string& serial, const char* operation,
                 std::string snapshot = {}, std::string file = {}, std::string detail = {}) {
  StoreLocation location;
  location.kind = StoreKind::SQLite;
  location.path = database;
  SqlStore store(location);
  Event event;
  event.serial = serial;
  event.time = "2026-01-01 00:00:00";
  event.operation = operation;
  event.result = "ok";
  event.snapshot = std::move(snapshot);
  event.file = std::move(file);
  event.detail = std::move(detail);
  EXPECT_TRUE(store.Record(event).recorded);
}

// 100 KB that are no maintenance data file.
std::string RandomBytes() {
  std::mt19937 random(7);
  std::string bytes(100 * 1024, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

TEST_P(HistoryCommandTest, RefusesAndSaysWhy) {
  inproc::TempDir dir;
  const std::string database = dir.File("h.sqlite");
  RecordEvent(database, "A", kOpSetClock);  // event 1: no settings recorded with it
  RecordEvent(database, "R", kOpRead, RandomBytes());  // event 2: a snapshot that is no maintenance file
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
                    "no settings recorded for serial number \"A\""},
        RefusalCase{"RestoreOfNoMaintenanceFile", {"restore", "2", "OUT"}, 2,
                    "event 2 holds no readable maintenance file"},
        RefusalCase{"ExportOfNoMaintenanceFile", {"export", "--serial", "R", "DIR"}, 2, "was not written"}),
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

// Piped output is one line per event with one field per column: a tab or a
// line end in a file name is escaped, a JSON detail is left to --json.
TEST(HistoryListTest, PipedOutputKeepsOneLinePerEventAndOneFieldPerColumn) {
  inproc::TempDir dir;
  const std::string database = dir.File("h.sqlite");
  RecordEvent(database, "A", kOpCalHistory, {}, "odd\tname\n.kvd", "[\n  {\"channel\": 1}\n]");
  const testsupport::ProgramResult listed = inproc::Kvmaint({"history", "--history", database, "--serial", "A"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  const std::vector<std::string> lines = inproc::Lines(listed.out);
  ASSERT_EQ(lines.size(), 2U) << listed.out;
  std::vector<std::string> fields;
  std::stringstream row(lines[1]);
  for (std::string field; std::getline(row, field, '\t');) fields.push_back(field);
  ASSERT_EQ(fields.size(), 7U) << lines[1];
  EXPECT_EQ(fields[5], "odd\\tname\\n.kvd");
  EXPECT_EQ(fields[6], "(details in --json)");
}

struct TableCase {
  const char* name;
  bool aligned;
  std::vector<std::string> expected;

  friend void PrintTo(const TableCase& c, std::ostream* os) { *os << c.name; }
};

class HistoryTableTest : public ::testing::TestWithParam<TableCase> {};

TEST_P(HistoryTableTest, EachRowIsOneLine) {
  const std::string text = cli::TableText({"id", "file", "detail"},
                                          {{"1", "a\tb", "two\nlines"}, {"12", "c\\d", "-"}}, GetParam().aligned);
  EXPECT_EQ(inproc::Lines(text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, HistoryTableTest,
    ::testing::Values(TableCase{"OnATerminal",
                                true,
                                {"id  file  detail", "1   a b   two lines", "12  c\\d   -"}},
                      TableCase{"Piped", false, {"id\tfile\tdetail", "1\ta\\tb\ttwo\\nlines", "12\tc\\\\d\t-"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::history::testing
