// SIGTERM and SIGINT end the real window program as a closed session would:
// at once, without a question, with exit status 0.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "support/child_process.h"

namespace kv {
namespace {

using namespace std::chrono_literals;

struct SignalCase {
  const char* name;
  int signal;
};

class WindowSignal : public ::testing::TestWithParam<SignalCase> {};

TEST_P(WindowSignal, EndsTheWindowWithinASecondOrTwo) {
  QTemporaryDir dataDir;
  ASSERT_TRUE(dataDir.isValid());
  const std::filesystem::path folder = dataDir.path().toStdString();
  // No instrument: the window waits for one, with nothing modal on screen.
  testsupport::ChildProcess window({KV_WINDOW_PATH, "--data-dir", folder.string(), "--port",
                                    (folder / "no-such-port").string()});
  ASSERT_TRUE(window.Started());
  // The session log is opened once the signals are watched.
  const auto startLimit = std::chrono::steady_clock::now() + 30s;
  while (!std::filesystem::exists(folder / "SerialLog.log") && std::chrono::steady_clock::now() < startLimit) {
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_TRUE(std::filesystem::exists(folder / "SerialLog.log")) << "the window did not start";
  std::this_thread::sleep_for(500ms);  // its event loop runs
  const auto sent = std::chrono::steady_clock::now();
  window.Signal(GetParam().signal);
  const testsupport::ProgramResult result = window.Finish(10s);
  EXPECT_FALSE(result.timedOut) << result.err;
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_LT(std::chrono::steady_clock::now() - sent, 3s);
  EXPECT_FALSE(std::filesystem::exists(folder / "KVMaintenance.lock")) << "the instance lock is released";
}

INSTANTIATE_TEST_SUITE_P(Signals, WindowSignal,
                         ::testing::Values(SignalCase{"SIGTERM", SIGTERM}, SignalCase{"SIGINT", SIGINT}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv
