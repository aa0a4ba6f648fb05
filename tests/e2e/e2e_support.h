#pragma once
// What the end-to-end tests share: a private folder, the simulated
// instrument as a child process, and kvmaint runs against it.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "e2e/child_process.h"
#include "support/temp_folder.h"
#include "model/instrument.h"

namespace kv::e2e {

using testsupport::ReadBytes;
using testsupport::WriteBytes;
// A fresh folder for one test, removed afterwards with its contents.
using TempDir = testsupport::TempFolder;

// kvsim on its pseudo-terminal, started with `options`.
class Simulator {
 public:
  explicit Simulator(const std::vector<std::string>& options = {});

  // The device path kvsim printed; empty when it did not start.
  const std::string& Device() const { return device_; }
  // SIGTERM (kvsim writes its --state-out file) and the exit status.
  int Stop();
  // Any other signal (SIGUSR1 switches it on after a power off).
  void Signal(int signal) const { process_.Signal(signal); }

 private:
  ChildProcess process_;
  std::string device_;
};

// kvsim's settings as a maintenance data file, read once per test program
// with `kvmaint get`; empty when that failed.
const std::string& SimulatorSettingsFile();

// kvmaint with `args`, under the hard time limit.
ProgramResult Kvmaint(const std::vector<std::string>& args);

std::vector<std::string> Lines(const std::string& text);

// The heads of the write requests in a kvsim trace ("> XS,W,02,..." gives "XS").
std::set<std::string> WrittenCodes(const std::string& trace);

// The bytes of those requests' frame texts: at a fixed baud rate what a
// send's time follows.
std::size_t WrittenBytes(const std::string& trace);

// A maintenance data file loaded into a fresh record; fails the test when the
// file does not load completely.
clsInstrument LoadRecord(const std::string& path);

// Describes every setting in which `a` and `b` differ, "Name(index)" each.
std::vector<std::string> DifferingSettings(const clsInstrument& a, const clsInstrument& b);

// A simulator that saves its state on exit, with kvmaint pointed at it and at
// a fresh data folder.
class SimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.Ok());
    ASSERT_FALSE(sim.Device().empty()) << "kvsim did not start";
  }

  // kvmaint with the simulator's port and the fresh data folder.
  ProgramResult Run(std::vector<std::string> args) {
    args.insert(args.end(), {"--port", sim.Device(), "--data-dir", dir.File("data")});
    return Kvmaint(args);
  }

  TempDir dir;
  Simulator sim{{"--state-out", dir.File("state-out.kvd")}};
};

// The history database and its journal files in a data folder.
inline bool IsHistoryDatabase(const std::filesystem::path& path) {
  return path.filename().string().rfind("History.sqlite", 0) == 0;
}

}  // namespace kv::e2e
