// The live readings window against the simulated instrument in process: it
// stops polling when the instrument goes away, and closing the main window
// ends the readings before the exit is asked.
#include <gtest/gtest.h>

#include "live_readings.h"
#include "window_on_sim.h"

namespace kv {
namespace {

using LiveReadingsOnSim = test::LiveReadings<test::TracedWindowOnSim>;

TEST_F(LiveReadingsOnSim, StopsPollingWhenTheInstrumentGoesAway) {
  ASSERT_NO_FATAL_FAILURE(StartTraced());
  window_->Link().SetTimeout(1);  // keeps the unanswered waits short
  frmLive* live = OpenLive();
  ASSERT_NE(live, nullptr);
  ASSERT_TRUE(WaitFor([live] { return HasPoints(*live, 1); }, 10000));
  sim_->Unplug();
  ASSERT_TRUE(WaitFor([live] { return !live->Polling(); }, 15000));
  EXPECT_FALSE(window_->Busy());
}

// Closing the main window while readings are polled is not refused: the
// live window closes, and once its last poll is in the exit is asked.
TEST_F(LiveReadingsOnSim, ClosingTheMainWindowEndsTheReadingsThenAsks) {
  ASSERT_NO_FATAL_FAILURE(StartTraced());
  frmLive* live = OpenLive();
  ASSERT_NE(live, nullptr);
  ASSERT_TRUE(WaitFor([live] { return HasPoints(*live, 1); }, 10000));
  dialogs_.answers.push_back(false);  // "EXIT ?": no, so the fixture keeps its window
  window_->close();
  EXPECT_FALSE(live->isVisible());
  ASSERT_TRUE(WaitFor([this] { return !dialogs_.calls.empty(); }, 5000));
  EXPECT_EQ(dialogs_.calls.back().text, QStringLiteral("EXIT ?"));
  EXPECT_FALSE(live->Polling());
  const int polls = Polls();
  Pass(1500);
  EXPECT_EQ(Polls(), polls);
}

}  // namespace
}  // namespace kv
