// Each operation through the window and through kvmaint, on the same
// simulated instrument: both go through src/ops, so the backup names, the
// verification and the history events they leave must be the same.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <regex>
#include <string>
#include <vector>

#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "history/history_event.h"
#include "kvmaint/harness/inprocess_support.h"
#include "window_on_sim.h"

namespace kv::test {
namespace {

using ::testing::HasSubstr;

// Keeps every event in memory.
class KeepingRecorder final : public history::Recorder {
 public:
  history::RecordOutcome Record(const history::Event& event) override {
    events.push_back(event);
    return {true, static_cast<std::int64_t>(events.size()), ""};
  }
  std::vector<history::Event> events;
};

// An event as both front ends must leave it: the time and the folders a
// run's files lie in differ, the rest not.
std::string Summary(const history::Event& e) {
  static const std::regex kDatedBackup("Backup/[0-9]{8}(_[0-9]+)?\\.kvd$");
  const std::string file = std::regex_search(e.file, kDatedBackup) ? "dated backup"
                           : e.file.empty()                        ? "-"
                                                                   : std::filesystem::path(e.file).filename().string();
  return e.operation + " | " + e.result + " | " + e.detail + " | " + e.serial + " | " + e.model + " | " + file +
         " | " + (e.snapshot.empty() ? "no snapshot" : "snapshot");
}

std::vector<std::string> Summaries(const std::vector<history::Event>& events) {
  std::vector<std::string> out;
  for (const history::Event& e : events) out.push_back(Summary(e));
  return out;
}

enum class Op { Get, Transmit, PowerOff };

struct ParityCase {
  const char* name;
  Op op;
  std::vector<std::string> simOptions;
  std::vector<std::string> expectedOperations;
  const char* verification;  // in the transmit's detail; "" for none
  int sendExit;               // kvmaint send's exit status
};

class OperationParity : public WindowOnSim, public ::testing::WithParamInterface<ParityCase> {
 protected:
  // The file both send: the instrument's own settings with a longer
  // backlight time (carried by the XT line).
  std::string FileToSend(const std::filesystem::path& backup) {
    clsInstrument record;
    EXPECT_TRUE(ReadMaintenanceFile(record, backup.string()).complete);
    record.SetLcdBackLight(static_cast<Integer>(record.LcdBackLight() == 10 ? 11 : 10));
    const std::string path = (files_.Dir() / "company.kvd").string();
    EXPECT_TRUE(WriteMaintenanceFile(record, path).ok);
    return path;
  }

  std::vector<history::Event> ThroughWindow() {
    KeepingRecorder recorder;
    recorder_ = &recorder;
    QStringList options;
    for (const std::string& o : GetParam().simOptions) options << QString::fromStdString(o);
    Start(options);
    if (GetParam().op == Op::PowerOff) {
      dialogs_.answers = {true};
      Click("cmdPowerOff", 60000);
    } else {
      RunGet();
      backupName_[0] = std::filesystem::path(window_->statusBar()->currentMessage().toStdString()).filename();
    }
    if (GetParam().op == Op::Transmit) {
      const std::string file = FileToSend(Backup(0));
      dialogs_.files = {QString::fromStdString(file)};
      window_->findChild<QPushButton*>(QStringLiteral("cmdLoad"))->click();
      dialogs_.reviews = {true};
      Click("cmdSend");
    }
    window_.reset();
    return recorder.events;
  }

  std::vector<history::Event> ThroughKvmaint() {
    KeepingRecorder recorder;
    inproc::Simulator sim(GetParam().simOptions);
    inproc::RunSetup setup;
    setup.recorder = &recorder;
    const auto run = [&](std::vector<std::string> args) {
      args.insert(args.end(), {"--port", sim.Device(), "--data-dir", files_.File("data")});
      return inproc::Kvmaint(args, setup);
    };
    if (GetParam().op == Op::PowerOff) {
      const inproc::ProgramResult off = run({"power-off", "--yes"});
      EXPECT_EQ(off.exitCode, 0) << off.err;
      return recorder.events;
    }
    const inproc::ProgramResult got = run({"get"});
    EXPECT_EQ(got.exitCode, 0) << got.err;
    const std::string backup = inproc::Lines(got.out).at(0);
    backupName_[1] = std::filesystem::path(backup).filename();
    if (GetParam().op == Op::Transmit) {
      const inproc::ProgramResult sent = run({"send", FileToSend(backup)});
      EXPECT_EQ(sent.exitCode, GetParam().sendExit) << sent.err;
    }
    return recorder.events;
  }

  inproc::TempDir files_;
  std::filesystem::path backupName_[2];
};

TEST_P(OperationParity, TheWindowAndKvmaintLeaveTheSameOutcome) {
  const std::vector<history::Event> window = ThroughWindow();
  const std::vector<history::Event> cli = ThroughKvmaint();
  std::vector<std::string> operations;
  for (const history::Event& e : window) operations.push_back(e.operation);
  EXPECT_EQ(operations, GetParam().expectedOperations);
  EXPECT_EQ(Summaries(window), Summaries(cli));
  EXPECT_EQ(backupName_[0], backupName_[1]) << "the same dated name on a fresh folder";
  if (GetParam().op != Op::PowerOff) {
    EXPECT_THAT(backupName_[0].string(), ::testing::MatchesRegex("[0-9]{8}\\.kvd"));
  }
  if (*GetParam().verification != '\0') {
    ASSERT_EQ(window.size(), 2U);
    EXPECT_THAT(window[1].detail, HasSubstr(GetParam().verification));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Operations, OperationParity,
    ::testing::Values(
        ParityCase{"Get", Op::Get, {}, {history::kOpRead}, "", 0},
        ParityCase{"TransmitVerified", Op::Transmit, {}, {history::kOpRead, history::kOpTransmit}, "; verified", 0},
        ParityCase{"TransmitStoredWrongly", Op::Transmit, {"--store-wrong", "XT"},
                   {history::kOpRead, history::kOpTransmit},
                   "1 setting not as transmitted: LCD Backlight Time(0-255sec)", 1},
        ParityCase{"PowerOff", Op::PowerOff, {}, {history::kOpPowerOff}, "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// The service operations: each through the window's Service menu and through
// kvmaint on the same simulated instrument, answered at once.
struct ServiceParityCase {
  const char* name;
  const char* action;             // the window's menu entry
  bool destructive;               // asked first
  QStringList texts;              // answers to the entry's prompts
  std::vector<std::string> args;  // the kvmaint command
  const char* detail;             // a pattern the event's detail matches
};

void PrintTo(const ServiceParityCase& c, std::ostream* out) { *out << c.name; }

const std::vector<std::string> kQuickSim{"--busy-polls", "0"};

class ServiceParity : public WindowOnSim, public ::testing::WithParamInterface<ServiceParityCase> {
 protected:
  std::vector<history::Event> ThroughWindow() {
    KeepingRecorder recorder;
    recorder_ = &recorder;
    Start({QStringLiteral("--busy-polls"), QStringLiteral("0")});
    for (const QString& text : GetParam().texts) dialogs_.texts.push_back(text);
    if (GetParam().destructive) dialogs_.answers.push_back(true);
    QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
    window_->findChild<QAction*>(QString::fromLatin1(GetParam().action))->trigger();
    EXPECT_TRUE(WaitFor([&finished] { return !finished.isEmpty(); }, 90000)) << GetParam().action;
    window_.reset();
    return recorder.events;
  }

  std::vector<history::Event> ThroughKvmaint() {
    KeepingRecorder recorder;
    inproc::Simulator sim(kQuickSim);
    inproc::RunSetup setup;
    setup.recorder = &recorder;
    std::vector<std::string> args = GetParam().args;
    args.insert(args.end(), {"--port", sim.Device(), "--data-dir", files_.File("data")});
    const inproc::ProgramResult ran = inproc::Kvmaint(args, setup);
    EXPECT_EQ(ran.exitCode, 0) << ran.err;
    return recorder.events;
  }

  inproc::TempDir files_;
};

TEST_P(ServiceParity, TheWindowAndKvmaintRecordTheSameEvent) {
  const std::vector<history::Event> window = ThroughWindow();
  const std::vector<history::Event> cli = ThroughKvmaint();
  ASSERT_EQ(window.size(), 1U);
  EXPECT_EQ(window[0].result, "ok");
  EXPECT_THAT(window[0].detail, ::testing::MatchesRegex(GetParam().detail));
  EXPECT_EQ(Summaries(window), Summaries(cli));
}

// A calibration names its instrument and every channel's result.
const char* const kChannelResults = "1  [^;]+(; [2-7]  [^;]+){6}";

INSTANTIATE_TEST_SUITE_P(
    Operations, ServiceParity,
    ::testing::Values(
        ServiceParityCase{"Zero", "mnuServiceZero", true, {}, {"zero", "--yes"}, kChannelResults},
        ServiceParityCase{"Span", "mnuServiceSpan", true, {}, {"span", "--yes"}, kChannelResults},
        ServiceParityCase{"CalibrationHistory", "mnuServiceCalHistory", false, {}, {"cal-history"},
                          "\\{\"channels\": \\[\n(.|\n)*\\]\\}\n"},
        ServiceParityCase{"PumpOn", "mnuServicePumpOn", false, {}, {"pump", "on"}, "on; serial number not read"},
        ServiceParityCase{"PumpOff", "mnuServicePumpOff", false, {}, {"pump", "off"}, "off; serial number not read"},
        ServiceParityCase{"ClearLog", "mnuServiceClearLog", true, {}, {"clear-log", "--yes"},
                          "serial number not read"},
        ServiceParityCase{"FactorySettings", "mnuServiceFactoryReset", true, {}, {"factory-reset", "--yes"},
                          "serial number not read"},
        ServiceParityCase{"LoadDefaults", "mnuServiceLoadDefaults", true, {QStringLiteral("10")},
                          {"load-defaults", "--kind", "10", "--yes"}, "kind 10; serial number not read"}),
    [](const auto& info) { return std::string(info.param.name); });

// How often `line` went to the instrument, in a simulator's trace.
int TimesSent(const std::string& trace, const std::string& line) {
  int count = 0;
  for (std::size_t at = trace.find(line); at != std::string::npos; at = trace.find(line, at + 1)) ++count;
  return count;
}

class WindowOperationsHistory : public WindowOnSim {};

TEST_F(WindowOperationsHistory, AGetATransmitAndAPowerOffAreThreeEventsWithoutAnExtraSerialRead) {
  KeepingRecorder recorder;
  recorder_ = &recorder;
  inproc::TempDir files;
  const std::string trace = files.File("trace.txt");
  Start({QStringLiteral("--trace"), QString::fromStdString(trace)});
  RunGet();
  const std::string serial = history::SerialText(window_->CurInstrument().SerialNo());
  ASSERT_FALSE(serial.empty());
  clsInstrument edited;
  ASSERT_TRUE(ReadMaintenanceFile(edited, Backup(0).string()).complete);
  edited.SetLcdBackLight(static_cast<Integer>(edited.LcdBackLight() == 10 ? 11 : 10));
  const std::string file = files.File("edited.kvd");
  ASSERT_TRUE(WriteMaintenanceFile(edited, file).ok);
  dialogs_.files = {QString::fromStdString(file)};
  window_->findChild<QPushButton*>(QStringLiteral("cmdLoad"))->click();
  dialogs_.reviews = {true};
  Click("cmdSend");
  dialogs_.answers = {true};
  Click("cmdPowerOff", 60000);
  window_.reset();

  std::vector<std::string> operations;
  for (const history::Event& e : recorder.events) {
    operations.push_back(e.operation);
    EXPECT_EQ(e.serial, serial) << e.operation;
  }
  EXPECT_EQ(operations, (std::vector<std::string>{history::kOpRead, history::kOpTransmit, history::kOpPowerOff}));
  // Each full read (the Get, the verification) asks "IN,R," once, beside
  // "VP,R,"; nothing else asks it.
  const std::string sent = inproc::ReadBytes(trace);
  EXPECT_GT(TimesSent(sent, "VP,R,"), 0);
  EXPECT_EQ(TimesSent(sent, "IN,R,"), TimesSent(sent, "VP,R,"));
}

TEST(KvmaintHistory, AServiceCommandAsksNothingMoreForItsEvent) {
  KeepingRecorder recorder;
  inproc::TempDir files;
  inproc::Simulator sim({"--trace", files.File("trace.txt")});
  inproc::RunSetup setup;
  setup.recorder = &recorder;
  const inproc::ProgramResult ran =
      inproc::Kvmaint({"set-clock", "--port", sim.Device(), "--data-dir", files.File("data")}, setup);
  ASSERT_EQ(ran.exitCode, 0) << ran.err;
  ASSERT_EQ(recorder.events.size(), 1U);
  EXPECT_EQ(recorder.events[0].operation, history::kOpSetClock);
  EXPECT_EQ(TimesSent(inproc::ReadBytes(files.File("trace.txt")), "IN,R,"), 0);
}

}  // namespace
}  // namespace kv::test
