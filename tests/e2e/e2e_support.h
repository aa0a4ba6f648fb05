#pragma once
// What the smoke tests on the real programs share: a private folder, the
// simulated instrument as a child process, and kvmaint runs against it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/child_process.h"
#include "support/json_reader.h"
#include "support/run_checks.h"
#include "support/temp_folder.h"

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

// kvmaint with `args`, under the hard time limit.
ProgramResult Kvmaint(const std::vector<std::string>& args);

using testsupport::DifferingSettings;
using testsupport::IsHistoryDatabase;
using testsupport::Json;
using testsupport::Lines;
using testsupport::LoadRecord;
using testsupport::ParseJson;
using testsupport::WrittenBytes;
using testsupport::WrittenCodes;

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

}  // namespace kv::e2e
