// kvmaint recording into the history against the simulated instrument: reads and a send give
// their events and snapshots, the history's diff shows what was sent, a
// restored snapshot puts the instrument back, service commands record with
// the serial number, and a history that cannot be used never fails the
// instrument operation.
#include <gmock/gmock.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "cli/history_recording.h"
#include "files/kvd_writer.h"
#include "historydb/sql_store.h"
#include "history/event_spool.h"
#include "history/history_event.h"
#include "history/postgres_server.h"
#include "kvmaint/harness/inprocess_support.h"

namespace kv::history::testing {
namespace {

using inproc::Json;
using inproc::Kvmaint;
using inproc::Lines;
using inproc::LoadRecord;
using inproc::RunSetup;
using testsupport::ProgramResult;
using testsupport::ReadBytes;
using testsupport::WriteBytes;
using ::testing::HasSubstr;

// The events of one instrument as kvmaint history --json lists them.
std::vector<Json> EventsOf(const std::string& dataDir, const std::string& serial) {
  const ProgramResult listed = Kvmaint({"history", "--data-dir", dataDir, "--serial", serial, "--json"});
  EXPECT_EQ(listed.exitCode, 0) << listed.err;
  const std::optional<Json> json = inproc::ParseJson(listed.out);
  EXPECT_TRUE(json.has_value()) << listed.out;
  return json ? json->items : std::vector<Json>{};
}

std::string IdOf(const Json& event) { return std::to_string(static_cast<long long>(event["id"].number)); }

using RecordingTest = inproc::SimulatorTest;

TEST_F(RecordingTest, ReadsAndASendAreRecordedWithTheirSettings) {
  const std::string data = dir.File("data");
  const ProgramResult first = Run({"get"});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  const std::string firstFile = Lines(first.out).at(0);
  const clsInstrument before = LoadRecord(firstFile);
  const ProgramResult instruments = Kvmaint({"history", "--data-dir", data, "--json"});
  const std::optional<Json> listed = inproc::ParseJson(instruments.out);
  ASSERT_TRUE(listed.has_value()) << instruments.out << instruments.err;
  ASSERT_EQ(listed->items.size(), 1U);
  const std::string serial = (*listed)[0]["serial"].text;
  ASSERT_FALSE(serial.empty()) << "the instrument's serial number is recorded";
  EXPECT_THAT((*listed)[0]["model"].text, ::testing::StartsWith("KORVIN"));

  clsInstrument edited = before;
  ASSERT_TRUE(edited.SetGasName(4, "NH3"));
  ASSERT_TRUE(edited.SetXZ_(2, "B.JONES"));
  edited.SetLcdContrast(static_cast<Integer>(before.LcdContrast() == 5 ? 6 : 5));
  const std::string sentFile = dir.File("sent.kvd");
  ASSERT_TRUE(WriteMaintenanceFile(edited, sentFile).ok);
  const ProgramResult sent = Run({"send", sentFile});
  ASSERT_EQ(sent.exitCode, 0) << sent.err;
  const ProgramResult second = Run({"get"});
  ASSERT_EQ(second.exitCode, 0) << second.err;
  const std::string secondFile = Lines(second.out).at(0);

  const std::vector<Json> events = EventsOf(data, serial);
  ASSERT_EQ(events.size(), 3U);
  const std::vector<std::string> operations{kOpRead, kOpTransmit, kOpRead};
  const std::vector<std::string> files{firstFile, sentFile, secondFile};
  for (std::size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(events[i]["operation"].text, operations[i]);
    EXPECT_EQ(events[i]["result"].text, "ok");
    EXPECT_EQ(events[i]["file"].text, files[i]);
    EXPECT_TRUE(events[i]["snapshot"].boolean);
  }
  EXPECT_THAT(events[1]["detail"].text, ::testing::StartsWith("wrote ")) << "the send's summary";

  // The history's diff of the two reads is kvmaint diff of their files: the
  // settings sent, and nothing else.
  const ProgramResult historyDiff = Kvmaint({"history", "--data-dir", data, "diff", IdOf(events[0]), IdOf(events[2])});
  const ProgramResult fileDiff = Kvmaint({"diff", firstFile, secondFile});
  EXPECT_EQ(historyDiff.exitCode, 1) << historyDiff.err;
  EXPECT_EQ(historyDiff.out, fileDiff.out);
  EXPECT_EQ(Lines(historyDiff.out).size(), 3U) << historyDiff.out;

  // The first read restored and sent makes the instrument what it was.
  const std::string restored = dir.File("restored.kvd");
  const ProgramResult restore = Kvmaint({"history", "--data-dir", data, "restore", IdOf(events[0]), restored});
  ASSERT_EQ(restore.exitCode, 0) << restore.err;
  EXPECT_EQ(ReadBytes(restored), ReadBytes(firstFile));
  ASSERT_EQ(Run({"send", restored}).exitCode, 0);
  const ProgramResult third = Run({"get"});
  ASSERT_EQ(third.exitCode, 0) << third.err;
  EXPECT_THAT(inproc::DifferingSettings(LoadRecord(Lines(third.out).at(0)), before), ::testing::IsEmpty());

  // Every snapshot exported, named by time and id.
  const ProgramResult exported = Kvmaint({"history", "--data-dir", data, "export", "--serial", serial, dir.File("export")});
  ASSERT_EQ(exported.exitCode, 0) << exported.err;
  ASSERT_EQ(Lines(exported.out).size(), 5U) << "three reads and two sends";
  EXPECT_EQ(ReadBytes(Lines(exported.out).at(1)), ReadBytes(sentFile));
  EXPECT_THAT(Lines(exported.out).at(0), ::testing::EndsWith("_" + IdOf(events[0]) + ".kvd"));
}

struct ServiceCase {
  const char* name;
  std::vector<std::string> args;
  const char* operation;
  bool serialKnown;
  const char* detailPattern;

  friend void PrintTo(const ServiceCase& c, std::ostream* os) { *os << c.name; }
};

class ServiceRecordingTest : public ::testing::TestWithParam<ServiceCase> {};

TEST_P(ServiceRecordingTest, RecordsTheOperationAndItsResult) {
  inproc::TempDir dir;
  inproc::Simulator sim({"--busy-polls", "0"});
  ASSERT_FALSE(sim.Device().empty());
  const std::string data = dir.File("data");
  std::vector<std::string> args = GetParam().args;
  args.insert(args.end(), {"--port", sim.Device(), "--data-dir", data});
  const ProgramResult ran = Kvmaint(args);
  ASSERT_EQ(ran.exitCode, 0) << ran.err;
  EXPECT_THAT(ran.err, ::testing::Not(HasSubstr("history")));

  const ProgramResult listed = Kvmaint({"history", "--data-dir", data, "--json"});
  const std::optional<Json> instruments = inproc::ParseJson(listed.out);
  ASSERT_TRUE(instruments.has_value()) << listed.out << listed.err;
  ASSERT_EQ(instruments->items.size(), 1U);
  const std::string serial = (*instruments)[0]["serial"].text;
  EXPECT_EQ(serial.empty(), !GetParam().serialKnown);
  const std::vector<Json> events = EventsOf(data, serial);
  ASSERT_EQ(events.size(), 1U);
  EXPECT_EQ(events[0]["operation"].text, GetParam().operation);
  EXPECT_EQ(events[0]["result"].text, "ok");
  EXPECT_THAT(events[0]["detail"].text, ::testing::MatchesRegex(GetParam().detailPattern));
  EXPECT_FALSE(events[0]["snapshot"].boolean);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ServiceRecordingTest,
    ::testing::Values(
        // A command that reads no settings asks nothing more for the history:
        // its instrument is not known.
        ServiceCase{"SetClock", {"set-clock"}, kOpSetClock, false,
                    "[0-9/]{10} [0-9:]{8}; serial number not read"},
        // A calibration reads its instrument's serial number with the channels.
        ServiceCase{"Zero", {"zero", "--yes"}, kOpZero, true, "1  [^;]+(; [2-7]  [^;]+){6}"},
        ServiceCase{"ClearLog", {"clear-log", "--yes"}, kOpClearLog, false, "serial number not read"},
        ServiceCase{"PowerOff", {"power-off", "--yes"}, kOpPowerOff, false, "serial number not read"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordingTest, OffRecordsNothing) {
  ASSERT_EQ(Run({"get", "--history", "off"}).exitCode, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.File("data/History.sqlite")));
  WriteBytes(dir.File("data/KVMaintenance.ini"), "[History]\r\nEnabled=False\r\n");
  ASSERT_EQ(Run({"get"}).exitCode, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.File("data/History.sqlite")));
}

TEST_F(RecordingTest, TheConfigurationNamesTheDatabase) {
  std::filesystem::create_directories(dir.File("data"));
  WriteBytes(dir.File("data/KVMaintenance.ini"), "[History]\r\nDatabase=" + dir.File("shop.sqlite") + "\r\n");
  ASSERT_EQ(Run({"get"}).exitCode, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.File("data/History.sqlite")));
  const ProgramResult listed = Kvmaint({"history", "--history", dir.File("shop.sqlite")});
  EXPECT_EQ(Lines(listed.out).size(), 2U) << listed.out << listed.err;
}

// A kvmaint run's recorder starts its store at once, so the local file is
// open before the first event, and records into it.
TEST(RunRecordingTest, StartsTheStoreAtOnceAndRecordsThroughIt) {
  // The application kvmaint runs in: the store's thread is Qt's, and Qt
  // keeps a thread's data for the application's life.
  inproc::PrepareProcess();
  inproc::TempDir dir;
  cli::LinkOptions options;
  options.dataDir = QString::fromStdString(dir.File("data"));
  const std::string file = dir.File("h.sqlite");
  {
    const cli::RunRecording recording(options, file);
    ASSERT_NE(recording.Recorder(), nullptr) << recording.Error();
    const auto start = std::chrono::steady_clock::now();
    while (!std::filesystem::exists(file) && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(std::filesystem::exists(file)) << "opened before the first event";
    Event event;
    event.serial = "S-1";
    event.time = "2026-12-11 10:00:00";
    event.operation = kOpRead;
    event.result = "ok";
    const RecordOutcome outcome = recording.Recorder()->Record(event);
    EXPECT_TRUE(outcome.recorded) << outcome.error;
  }
  StoreLocation location;
  location.kind = StoreKind::SQLite;
  location.path = file;
  SqlStore store(location);
  std::string error;
  EXPECT_EQ(store.Events("S-1", &error).size(), 1U) << error;
}

// A history that cannot be used: the read still succeeds and says why it was
// not recorded.
struct UnusableCase {
  const char* name;
  // Makes the unusable history in `folder`; returns its --history text.
  std::function<std::string(const std::string& folder)> make;
  const char* why;

  friend void PrintTo(const UnusableCase& c, std::ostream* os) { *os << c.name; }
};

class UnusableHistoryTest : public ::testing::TestWithParam<UnusableCase> {};

TEST_P(UnusableHistoryTest, TheReadStillSucceeds) {
  inproc::TempDir dir;
  inproc::Simulator sim;
  ASSERT_FALSE(sim.Device().empty());
  const std::string history = GetParam().make(dir.Path());
  const std::string output = dir.File("read.kvd");
  const ProgramResult got = Kvmaint({"get", "--port", sim.Device(), "--data-dir", dir.File("data"),
                                     "--output", output, "--history", history});
  EXPECT_EQ(got.exitCode, 0) << got.err;
  EXPECT_EQ(Lines(got.out), std::vector<std::string>{output});
  EXPECT_TRUE(LoadRecord(output).SerialNo() != "");
  EXPECT_THAT(got.err, HasSubstr("history not recorded: "));
  EXPECT_THAT(got.err, ::testing::ContainsRegex(GetParam().why));
}

INSTANTIATE_TEST_SUITE_P(
    Histories, UnusableHistoryTest,
    ::testing::Values(
        UnusableCase{"NotADatabase",
                     [](const std::string& folder) {
                       WriteBytes(folder + "/h.sqlite", std::string(4096, 'x'));
                       return folder + "/h.sqlite";
                     },
                     "h.sqlite: .*not a database"},
        UnusableCase{"FolderMissing",
                     [](const std::string& folder) { return folder + "/gone/h.sqlite"; },
                     "gone does not exist"},
        UnusableCase{"ReadOnlyFolder",
                     [](const std::string& folder) {
                       // A directory where the file should be.
                       std::filesystem::create_directories(folder + "/h.sqlite");
                       return folder + "/h.sqlite";
                     },
                     "h.sqlite: .*(unable to open|out of memory|not a database)"}),
    [](const auto& info) { return std::string(info.param.name); });

// A shared history whose server is down: the read is recorded in the data
// folder's file and waits there to be forwarded; nothing is said to be lost.
TEST(ServerDownTest, TheEventWaitsInTheLocalHistory) {
  inproc::TempDir dir;
  inproc::Simulator sim;
  ASSERT_FALSE(sim.Device().empty());
  const std::string data = dir.File("data");
  const std::string server = "postgresql:///history?host=" + dir.Path();  // no server listens there
  const ProgramResult got = Kvmaint({"get", "--port", sim.Device(), "--data-dir", data, "--output",
                                     dir.File("read.kvd"), "--history", server});
  EXPECT_EQ(got.exitCode, 0) << got.err;
  EXPECT_THAT(got.err, ::testing::Not(HasSubstr("history not recorded")));
  const ProgramResult pending = Kvmaint({"history", "--data-dir", data, "--history", server, "--pending", "--json"});
  ASSERT_EQ(pending.exitCode, 0) << pending.err;
  const std::optional<Json> events = inproc::ParseJson(pending.out);
  ASSERT_TRUE(events.has_value()) << pending.out;
  ASSERT_EQ(events->items.size(), 1U) << pending.out;
  EXPECT_EQ((*events)[0]["operation"].text, kOpRead);
  EXPECT_TRUE((*events)[0]["snapshot"].boolean);
}

// Another program holds the SQLite file's write lock (from a thread of its
// own, as a second program would) for `holdMs`, or until told.
class LockHolder {
 public:
  LockHolder(std::string file, int holdMs) : thread_([this, file = std::move(file), holdMs] { Hold(file, holdMs); }) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return locked_ || failed_; });
  }
  ~LockHolder() {
    Release();
    thread_.join();
  }
  bool Locked() const { return locked_; }
  // Lets go of the file now.
  void Release() {
    {
      const std::lock_guard lock(mutex_);
      released_ = true;
    }
    changed_.notify_all();
  }

 private:
  void Hold(const std::string& file, int holdMs) {
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
      db.setDatabaseName(QString::fromStdString(file));
      QSqlQuery query(db);
      const bool ok = db.open() && query.exec(QStringLiteral("CREATE TABLE other (x INTEGER)")) &&
                      query.exec(QStringLiteral("BEGIN EXCLUSIVE"));
      {
        const std::lock_guard lock(mutex_);
        (ok ? locked_ : failed_) = true;
      }
      changed_.notify_all();
      {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(holdMs), [this] { return released_; });
      }
      query.exec(QStringLiteral("ROLLBACK"));
      db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  bool locked_ = false;
  bool failed_ = false;
  bool released_ = false;
  std::thread thread_;
};

struct LockCase {
  const char* name;
  int holdMs;  // how long the other program keeps the file (-1: until kvmaint has ended)
  bool kept;   // whether the event is certainly left for the next run

  friend void PrintTo(const LockCase& c, std::ostream* os) { *os << c.name; }
};

class LockedHistoryTest : public ::testing::TestWithParam<LockCase> {};

// How many events the SQLite history `file` holds, and how many wait beside it.
std::pair<std::size_t, std::size_t> RecordedAndKept(const std::string& file) {
  StoreLocation location;
  location.kind = StoreKind::SQLite;
  location.path = file;
  SqlStore store(location);
  std::string error;
  const std::size_t recorded = store.EventCount(std::nullopt, &error);
  EXPECT_EQ(error, "");
  return {recorded, SpooledEvents(SpoolFolderOf(file)).size()};
}

// The lock never holds the read or the end of the run up: an event the file
// does not take before the end is kept beside it, the message says so, and
// the next run records it; nothing is lost and nothing doubled.
TEST_P(LockedHistoryTest, TheReadIsNotHeldUp) {
  inproc::PrepareProcess();
  inproc::TempDir dir;
  inproc::Simulator sim;
  ASSERT_FALSE(sim.Device().empty());
  const std::string file = dir.File("h.sqlite");
  std::vector<std::string> reports;
  RunSetup setup;
  setup.historyTimings.notRecorded = [&reports](const std::string& text) { reports.push_back(text); };
  const std::vector<std::string> get{"get", "--port", sim.Device(), "--data-dir", dir.File("data"),
                                     "--output", dir.File("read.kvd"), "--history", file};
  ProgramResult got;
  {
    LockHolder holder(file, GetParam().holdMs < 0 ? 60000 : GetParam().holdMs);
    ASSERT_TRUE(holder.Locked());
    const auto start = std::chrono::steady_clock::now();
    got = Kvmaint(get, setup);
    // The read's own time; the end waits for neither the lock nor its time-outs.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3000));
    holder.Release();
  }
  EXPECT_EQ(got.exitCode, 0) << got.err;
  const auto [recorded, kept] = RecordedAndKept(file);
  EXPECT_EQ(recorded + kept, 1U);
  if (GetParam().kept) {
    EXPECT_EQ(kept, 1U);
  }
  ASSERT_EQ(reports.size(), kept);
  if (kept == 1) {
    EXPECT_THAT(reports[0], HasSubstr("history not recorded yet: "));
    EXPECT_THAT(reports[0], HasSubstr("locked"));
    EXPECT_THAT(reports[0], HasSubstr("kept in " + SpoolFolderOf(file)));
  }

  // The next run records what waited, then its own.
  reports.clear();
  ASSERT_EQ(Kvmaint(get, setup).exitCode, 0);
  EXPECT_THAT(reports, ::testing::IsEmpty());
  EXPECT_EQ(RecordedAndKept(file), std::make_pair(std::size_t{2}, std::size_t{0}));
}

INSTANTIATE_TEST_SUITE_P(Locks, LockedHistoryTest,
                         ::testing::Values(LockCase{"ReleasedDuringTheRead", 300, false},
                                           LockCase{"HeldPastTheEnd", -1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::history::testing

namespace kv::history::testing {
namespace {

// The report of a serial number is made from its latest recorded read, with
// the serial number the history kept (a maintenance data file holds none).
TEST_F(RecordingTest, TheReportOfASerialNumberComesFromItsLatestRead) {
  const std::string data = dir.File("data");
  const ProgramResult got = Run({"get"});
  ASSERT_EQ(got.exitCode, 0) << got.err;
  const ProgramResult instruments = Kvmaint({"history", "--data-dir", data, "--json"});
  const std::optional<Json> listed = inproc::ParseJson(instruments.out);
  ASSERT_TRUE(listed.has_value() && listed->items.size() == 1U) << instruments.out;
  const std::string serial = (*listed)[0]["serial"].text;
  ASSERT_FALSE(serial.empty());

  const std::string pdf = dir.File("report.pdf");
  const ProgramResult report =
      Kvmaint({"report", "--serial", serial, "--pdf", pdf, "--data-dir", data});
  ASSERT_EQ(report.exitCode, 0) << report.err;
  const ProgramResult text = testsupport::RunProgram({"/usr/bin/pdftotext", "-layout", pdf, "-"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_THAT(text.out, HasSubstr(serial));
  EXPECT_THAT(text.out, HasSubstr("CH4"));

  const ProgramResult unknown =
      Kvmaint({"report", "--serial", "NO-SUCH-UNIT", "--pdf", dir.File("none.pdf"), "--data-dir", data});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_THAT(unknown.err, HasSubstr("no read of serial number NO-SUCH-UNIT"));
}

}  // namespace
}  // namespace kv::history::testing
