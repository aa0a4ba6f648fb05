#pragma once
// What the in-process kvmaint tests share: a private folder, the simulated
// instrument in the test's process, and kvmaint runs against it in virtual
// time (the same names as the smoke tests' e2e_support.h, so a test reads
// the same on either).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kvmaint/harness/in_process_sim.h"
#include "kvmaint/harness/kvmaint_run.h"
#include "support/json_reader.h"
#include "support/run_checks.h"
#include "support/temp_folder.h"

namespace kv::inproc {

using testsupport::DifferingSettings;
using testsupport::IsHistoryDatabase;
using testsupport::Json;
using testsupport::Lines;
using testsupport::LoadRecord;
using testsupport::ParseJson;
using testsupport::ReadBytes;
using testsupport::WriteBytes;
using testsupport::WrittenBytes;
using testsupport::WrittenCodes;
// A fresh folder for one test, removed afterwards with its contents.
using TempDir = testsupport::TempFolder;

// kvsim's settings as a maintenance data file, read once per test program
// with `kvmaint get`; empty when that failed.
const std::string& SimulatorSettingsFile();

// A simulator that saves its state on Stop, with kvmaint pointed at it and at
// a fresh data folder.
class SimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.Ok());
    ASSERT_FALSE(sim.Device().empty()) << sim.Error();
  }

  // kvmaint with the simulator's port and the fresh data folder.
  ProgramResult Run(std::vector<std::string> args, const RunSetup& setup = {}) {
    args.insert(args.end(), {"--port", sim.Device(), "--data-dir", dir.File("data")});
    return Kvmaint(args, setup);
  }

  TempDir dir;
  Simulator sim{{"--state-out", dir.File("state-out.kvd")}};
};

}  // namespace kv::inproc
