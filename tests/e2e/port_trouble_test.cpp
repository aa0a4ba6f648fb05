// kvmaint and the port itself: a port that does not open says why, a lock
// left behind by a killed run never blocks the next one, and a hang-up signal
// ends a run the normal way, releasing the port's lock.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <thread>

#include <unistd.h>

#include "e2e_support.h"

namespace kv::e2e {
namespace {

using ::testing::HasSubstr;

// The lock file QSerialPort keeps for a pseudo-terminal ("/dev/pts/3" ->
// "/var/lock/LCK..pts_3"); empty when that folder is not usable here.
std::string LockFileOf(const std::string& device) {
  const std::filesystem::path folder = "/var/lock";
  if (::access(folder.c_str(), W_OK) != 0) return {};
  std::string name = device.substr(std::string("/dev/").size());
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return (folder / ("LCK.." + name)).string();
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

TEST(PortTrouble, APortThatDoesNotOpenSaysWhy) {
  const struct {
    const char* port;
    const char* reason;
  } kCases[] = {
      {"/dev/kv-no-such-port", "no such device"},
      {"/dev/null", "not a serial device"},
  };
  TempDir dir;
  for (const auto& c : kCases) {
    const ProgramResult run = Kvmaint({"get", "--port", c.port, "--data-dir", dir.File("data")});
    EXPECT_EQ(run.exitCode, 1) << c.port;
    EXPECT_THAT(run.err, HasSubstr(std::string("cannot open the port ") + c.port + ": " + c.reason));
  }
}

TEST(PortTrouble, AnEmptyLockLeftByAKilledRunDoesNotBlock) {
  TempDir dir;
  Simulator sim;
  ASSERT_FALSE(sim.Device().empty());
  const std::string lock = LockFileOf(sim.Device());
  if (lock.empty()) GTEST_SKIP() << "no writable /var/lock here";
  WriteBytes(lock, "");  // killed between creating the lock and writing it

  const auto started = std::chrono::steady_clock::now();
  const ProgramResult read = Kvmaint({"get", "--port", sim.Device(), "--data-dir", dir.File("data")});
  EXPECT_EQ(read.exitCode, 0) << read.err;
  EXPECT_LT(std::chrono::steady_clock::now() - started, 20s) << "waited for the lock to age";
  EXPECT_FALSE(std::filesystem::exists(lock));
}

TEST(PortTrouble, SignalsEndARunAndReleaseTheLock) {
  for (const int signal : {SIGHUP, SIGTERM}) {
    TempDir dir;
    Simulator sim({"--baud", "2400"});  // slow enough to be caught mid-read
    ASSERT_FALSE(sim.Device().empty());
    const std::string lock = LockFileOf(sim.Device());
    if (lock.empty()) GTEST_SKIP() << "no writable /var/lock here";
    ChildProcess run({KV_KVMAINT_PATH, "get", "--port", sim.Device(), "--data-dir", dir.File("data")});
    ASSERT_TRUE(WaitFor([&lock] { return std::filesystem::exists(lock); }, 10s)) << "never opened";
    run.Signal(signal);
    const ProgramResult ended = run.Finish(20s);
    EXPECT_FALSE(ended.timedOut) << "signal " << signal;
    EXPECT_EQ(ended.exitCode, 130) << "signal " << signal << ": " << ended.err;
    EXPECT_FALSE(std::filesystem::exists(lock)) << "signal " << signal;
  }
}

}  // namespace
}  // namespace kv::e2e
