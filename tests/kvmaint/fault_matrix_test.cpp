// Every instrument command against a bad line: a dropped, corrupted, garbled
// or late reply, or a hang-up, at the first, a middle and the last exchange of
// the command. Each case ends in time either with the clean result or with
// the failure the command documents, never with a file that looks complete
// but is not, and never touches a backup that was there before.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "kvmaint/harness/inprocess_support.h"
#include "files/kvd_writer.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

enum class Command { Get, Send, PowerOff, SetClock, Zero, DumpFram, DumpFlash };
enum class Fault { Drop, Corrupt, Garbage, Late, HangUp };
enum class Exchange { First, Middle, Last };

// What a command's exchanges are, in kvsim's reply numbers (1 answers the
// connect probe), and what it says when the line is lost.
struct CommandPlan {
  Command command;
  const char* name;
  long first, middle, last;
  const char* lostLine;  // on stderr when the line is lost
};

// From `kvsim --trace`: get reads 200 settings (2..201); send reads them and
// writes 340 lines (202..541); zero reads five channel groups (2..6), starts
// (7) and polls three times (8..10); set-clock and power-off are a single
// exchange; the FRAM dump is 8 pieces of 1024 bytes (2..9), the flash dump
// 4096 (2..4097).
const CommandPlan kPlans[] = {
    {Command::Get, "Get", 2, 100, 201, "get failed at "},  // the settings of the line, then the line
    {Command::Send, "Send", 2, 300, 541, "kvmaint: send"},
    {Command::PowerOff, "PowerOff", 2, 2, 2,
     "power-off: the instrument did not acknowledge \"RO,W,\""},
    {Command::SetClock, "SetClock", 2, 2, 2, "set-clock failed at \"HC,W,"},
    {Command::Zero, "Zero", 2, 7, 10, "zero failed at "},
    {Command::DumpFram, "DumpFram", 2, 5, 9, "dump failed at \"EF,R,\""},
    {Command::DumpFlash, "DumpFlash", 2, 2050, 4097, "dump failed at \"EP,R,\""},
};

bool IsDump(Command command) { return command == Command::DumpFram || command == Command::DumpFlash; }

// The expected outcome. A command/reply exchange is resent after a bad or
// missing reply (the late reply comes after the 1 s time-out and must not be
// taken for the next command's), so only a hang-up fails it. Power off is the
// exception: the instrument that heard "RO,W," is off, so when its only
// acknowledgement is lost the resend goes unanswered and the command cannot
// say it worked. A dump is one raw stream without checksum or resend: a lost,
// garbled or late piece leaves a short image (failure), and a flipped byte
// goes through unseen.
enum class Outcome { Clean, CleanButOneByte, Fails };

Outcome Expected(Command command, Fault fault) {
  if (fault == Fault::HangUp) return Outcome::Fails;
  if (IsDump(command)) return fault == Fault::Corrupt ? Outcome::CleanButOneByte : Outcome::Fails;
  if (command == Command::PowerOff && fault != Fault::Late) return Outcome::Fails;
  return Outcome::Clean;
}

// Late: past the 1 s reply time-out. Inside a dump stream only the stream
// silence limit (10 s, whatever the reply time-out) ends the wait, so a late
// dump piece comes after that.
std::string LateBy(Command command) { return IsDump(command) ? "11000" : "1500"; }

struct MatrixCase {
  CommandPlan plan;
  Fault fault;
  Exchange exchange;

  long Reply() const {
    return exchange == Exchange::First ? plan.first : exchange == Exchange::Middle ? plan.middle : plan.last;
  }
  // The kvsim options; a hang-up comes after the reply before the exchange's.
  std::vector<std::string> SimOptions() const {
    const std::string n = std::to_string(Reply());
    switch (fault) {
      case Fault::Drop: return {"--drop", n};
      case Fault::Corrupt: return {"--corrupt", n};
      case Fault::Garbage: return {"--garbage", n};
      case Fault::Late: return {"--delay", n + ":" + LateBy(plan.command)};
      case Fault::HangUp: return {"--hangup", std::to_string(Reply() - 1)};
    }
    return {};
  }
  std::string Name() const {
    static const char* const faults[] = {"Drop", "Corrupt", "Garbage", "Late", "HangUp"};
    static const char* const exchanges[] = {"First", "Middle", "Last"};
    return std::string(plan.name) + faults[static_cast<int>(fault)] + exchanges[static_cast<int>(exchange)];
  }
  friend void PrintTo(const MatrixCase& c, std::ostream* os) { *os << c.Name(); }
};

std::vector<MatrixCase> AllCases() {
  std::vector<MatrixCase> cases;
  for (const CommandPlan& plan : kPlans) {
    for (const Fault fault : {Fault::Drop, Fault::Corrupt, Fault::Garbage, Fault::Late, Fault::HangUp}) {
      for (const Exchange exchange : {Exchange::First, Exchange::Middle, Exchange::Last}) {
        // A single exchange is first, middle and last at once.
        if (plan.first == plan.last && exchange != Exchange::First) continue;
        cases.push_back({plan, fault, exchange});
      }
    }
  }
  return cases;
}

constexpr const char* kStationName = "FAULT MATRIX";

// What clean runs give, made once: the file get writes and the file send
// sends (the same with station 1 renamed, so that its arrival shows).
struct CleanFiles {
  TempDir dir;
  std::string read = dir.File("clean.kvd");
  std::string toSend = dir.File("to-send.kvd");

  CleanFiles() {
    Simulator sim;
    const ProgramResult got = Kvmaint({"get", "--port", sim.Device(), "--output", read});
    EXPECT_EQ(got.exitCode, 0) << got.err;
    clsInstrument record = LoadRecord(read);
    EXPECT_TRUE(record.SetXS_(0, kStationName));
    EXPECT_TRUE(WriteMaintenanceFile(record, toSend).ok);
  }
};

const CleanFiles& Clean() {
  static const CleanFiles files;
  return files;
}

// Every regular file under `folder`, relative to it, but the instrument
// history's database (it records failed runs too, on purpose).
std::set<std::string> FilesUnder(const std::filesystem::path& folder) {
  std::set<std::string> files;
  if (!std::filesystem::exists(folder)) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_directory() || IsHistoryDatabase(entry.path())) continue;
    files.insert(std::filesystem::relative(entry.path(), folder).string());
  }
  return files;
}

const std::string kEarlierBackup = "Backup/20000101.kvd";
const std::string kEarlierBytes = "an earlier backup, which no run may touch\r\n";

class FaultMatrix : public ::testing::TestWithParam<MatrixCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.Ok());
    std::filesystem::create_directories(data / "Backup");
    WriteBytes((data / kEarlierBackup).string(), kEarlierBytes);
  }

  std::vector<std::string> Arguments() const {
    switch (GetParam().plan.command) {
      case Command::Get: return {"get"};
      case Command::Send: return {"send", Clean().toSend};
      case Command::PowerOff: return {"power-off", "--yes"};
      case Command::SetClock: return {"set-clock"};
      case Command::Zero: return {"zero", "--yes"};
      case Command::DumpFram: return {"dump", "--fram", image};
      case Command::DumpFlash: return {"dump", "--flash", image};
    }
    return {};
  }

  void ExpectCleanResult(const ProgramResult& run, Outcome outcome);
  void ExpectFailure(const ProgramResult& run);

  TempDir dir;
  std::filesystem::path data = dir.Dir() / "data";
  std::string image = dir.File("image.bin");
  std::string simImage = dir.File("sim-image.bin");
  std::string stateOut = dir.File("state-out.kvd");
};

void FaultMatrix::ExpectCleanResult(const ProgramResult& run, Outcome outcome) {
  ASSERT_EQ(run.exitCode, 0) << run.err;
  switch (GetParam().plan.command) {
    case Command::Get: {
      const std::string backup = Lines(run.out).at(0);
      EXPECT_TRUE(ReadBytes(backup) == ReadBytes(Clean().read)) << "a silently different file";
      EXPECT_EQ(FilesUnder(data).size(), 2U) << "the earlier backup and the new one";
      break;
    }
    case Command::Send:
      EXPECT_THAT(run.out, MatchesRegex("wrote [0-9]+ settings in [0-9]+ groups .*\n"));
      EXPECT_EQ(LoadRecord(stateOut).XS_(0), kStationName) << "the file's settings arrived";
      break;
    case Command::PowerOff: EXPECT_EQ(run.out, "the instrument acknowledged and is switching off\n"); break;
    case Command::SetClock:
      EXPECT_THAT(run.out, MatchesRegex("[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\n"));
      break;
    case Command::Zero: EXPECT_THAT(run.out, MatchesRegex("([1-7]  [^ \n]+ +[0-9]\n){7}")); break;
    case Command::DumpFram:
    case Command::DumpFlash: {
      EXPECT_EQ(run.out, image + "\n");
      const std::string got = ReadBytes(image);
      const std::string expected = ReadBytes(simImage);
      ASSERT_EQ(got.size(), expected.size());
      std::size_t differing = 0;
      for (std::size_t i = 0; i < got.size(); ++i) differing += got[i] != expected[i] ? 1 : 0;
      EXPECT_EQ(differing, outcome == Outcome::CleanButOneByte ? 1U : 0U)
          << "the image holds exactly the bytes that came";
      break;
    }
  }
}

void FaultMatrix::ExpectFailure(const ProgramResult& run) {
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_THAT(run.err, HasSubstr(GetParam().plan.lostLine));
  if (!IsDump(GetParam().plan.command)) {
    if (GetParam().plan.command != Command::Zero) {
      EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(FilesUnder(data), std::set<std::string>{kEarlierBackup}) << "no file after a failed run";
    return;
  }
  // A short image keeps its full size, 0xFF after what arrived, and says so.
  EXPECT_EQ(run.out, "") << "a short image is not named as done";
  const std::size_t size = GetParam().plan.command == Command::DumpFram ? 8192 : 4194304;
  std::smatch said;
  ASSERT_TRUE(std::regex_search(run.err, said, std::regex(" holds the ([0-9]+) of ([0-9]+) bytes that "
                                                          "arrived; the rest is 0xFF")))
      << run.err;
  EXPECT_EQ(std::stoul(said[2]), size);
  // The stream is never resent: silence is said as such, after the stream
  // silence limit once it had started.
  const std::size_t arrived = std::stoul(said[1]);
  const char* silence = arrived > 0 ? "the stream stopped (nothing came for 10 s)" : "no answer within 1 s\n";
  EXPECT_THAT(run.err, HasSubstr(GetParam().fault == Fault::HangUp ? "the line to the instrument was lost" : silence));
  EXPECT_LT(arrived, size);
  const std::string kept = ReadBytes(image);
  ASSERT_EQ(kept.size(), size);
  EXPECT_TRUE(kept.substr(arrived) == std::string(size - arrived, '\xFF'));
}

TEST_P(FaultMatrix, EndsInTheCleanResultOrTheDocumentedFailure) {
  const MatrixCase& c = GetParam();
  std::vector<std::string> simOptions = c.SimOptions();
  simOptions.insert(simOptions.end(), {"--state-out", stateOut,
                                       c.plan.command == Command::DumpFlash ? "--flash-out" : "--fram-out",
                                       simImage});
  ASSERT_FALSE(Clean().read.empty());
  Simulator sim(simOptions);
  ASSERT_FALSE(sim.Device().empty()) << sim.Error();
  std::vector<std::string> args = Arguments();
  args.insert(args.end(), {"--port", sim.Device(), "--data-dir", data.string(), "--timeout", "1"});

  const ProgramResult run = Kvmaint(args);
  sim.Stop();

  ASSERT_FALSE(run.timedOut) << "kvmaint hung";
  const Outcome outcome = Expected(c.plan.command, c.fault);
  if (outcome == Outcome::Fails) {
    ExpectFailure(run);
  } else {
    ExpectCleanResult(run, outcome);
  }
  EXPECT_EQ(ReadBytes((data / kEarlierBackup).string()), kEarlierBytes);
}

INSTANTIATE_TEST_SUITE_P(AllCommands, FaultMatrix, ::testing::ValuesIn(AllCases()),
                         [](const auto& info) { return info.param.Name(); });

}  // namespace
}  // namespace kv::inproc
