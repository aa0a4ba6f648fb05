// The runner of the window's transactions: busy while one runs, its progress
// dialog, and the end handed back from the event loop, never from inside the
// link's own call that ended the transaction.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QWidget>

#include "app/transaction_runner.h"
#include "app/upload_dialog.h"
#include "test_doubles.h"

namespace kv {
namespace {

Task<bool> Finishes(bool ok) { co_return ok; }

class Runner : public ::testing::Test {
 protected:
  ManualClock clock_{DateTime{2026, 3, 7, 10, 0, 0}};
  test::FakeTransport transport_;
  uclTzif link_{transport_, clock_};
  QWidget window_;
  TransactionRunner runner_{link_, clock_, window_};
};

TEST_F(Runner, IsBusyWithItsDialogFromBeginToEnd) {
  QSignalSpy busy(&runner_, &TransactionRunner::BusyChanged);
  EXPECT_EQ(runner_.Dialog(), nullptr) << "made on first use";
  runner_.Begin(QStringLiteral("Upload"), QStringLiteral("Now Uploading"));
  ASSERT_NE(runner_.Dialog(), nullptr);
  EXPECT_TRUE(runner_.Busy());
  EXPECT_TRUE(runner_.Dialog()->isVisible());
  EXPECT_EQ(runner_.Dialog()->windowTitle(), "Upload");
  EXPECT_EQ(runner_.Dialog()->Message(), "Now Uploading");
  EXPECT_EQ(runner_.Started(), clock_.Now());
  runner_.ShowProgress(3, 4);
  EXPECT_EQ(runner_.Dialog()->ProgressBar()->value() * 4, runner_.Dialog()->ProgressBar()->maximum() * 3);
  runner_.End();
  EXPECT_FALSE(runner_.Busy());
  EXPECT_FALSE(runner_.Dialog()->isVisible());
  ASSERT_EQ(busy.count(), 2);
  EXPECT_TRUE(busy[0][0].toBool());
  EXPECT_FALSE(busy[1][0].toBool());
}

TEST_F(Runner, CancelInTheDialogCancelsTheLink) {
  runner_.Begin(QStringLiteral("Download"), QStringLiteral("Now Downloading"));
  runner_.Dialog()->CancelButton()->click();
  EXPECT_TRUE(link_.Cancel());
}

struct EndCase {
  const char* name;
  bool ok;
};

class RunnerEnds : public Runner, public ::testing::WithParamInterface<EndCase> {};

TEST_P(RunnerEnds, FromTheEventLoopWithTheResult) {
  std::vector<bool> results;
  ASSERT_TRUE(runner_.Start(Finishes(GetParam().ok), [&results](bool ok) { results.push_back(ok); }));
  EXPECT_TRUE(results.empty()) << "not from inside the link's call";
  QCoreApplication::processEvents();
  EXPECT_EQ(results, std::vector<bool>{GetParam().ok});
}

INSTANTIATE_TEST_SUITE_P(Results, RunnerEnds,
                         ::testing::Values(EndCase{"done", true}, EndCase{"failed", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv
