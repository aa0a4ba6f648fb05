// The live readings window against the simulated instrument in process: it
// stops polling when the instrument goes away, and closing the main window
// ends the readings before the exit is asked.
#include <gtest/gtest.h>

#include <QChartView>
#include <QLineSeries>
#include <QPushButton>
#include <QValueAxis>
#include <algorithm>
#include <string>

#include "live_readings.h"
#include "rules/edit_check.h"
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

// The plots' time is the link clock's, so in virtual time the readings are
// a second apart as on the instrument's line.
TEST_F(LiveReadingsOnSim, PlotsEachChannelOnItsOwnScaleWithItsLevelsAndStopsWhenClosed) {
  ASSERT_NO_FATAL_FAILURE(StartTraced());
  // What the instrument holds, to compare the plots with.
  RunGet();
  const clsInstrument read = window_->CurInstrument();
  frmLive* live = OpenLive();
  ASSERT_NE(live, nullptr);
  ASSERT_TRUE(WaitFor([live] { return HasPoints(*live, 3); }, 10000));
  // Once a second: three points take at least two seconds.
  const QLineSeries* readings = live->Series(0);
  EXPECT_GE(readings->at(2).x() - readings->at(0).x(), 1.8);
  EXPECT_NE(live->ValueText(0), QStringLiteral("-"));
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    if (!read.GasEnabled(channel)) {
      EXPECT_EQ(live->Series(channel), nullptr) << "channel " << channel;
      EXPECT_FALSE(live->ChartView(channel)->isVisible()) << "channel " << channel;
      continue;
    }
    ASSERT_NE(live->Series(channel), nullptr) << "channel " << channel;
    EXPECT_TRUE(live->ChartView(channel)->isVisible()) << "channel " << channel;
    // Its own plot, scaled to its own levels and readings, titled with its unit.
    const QValueAxis* scale = live->ValueAxis(channel);
    EXPECT_EQ(scale->titleText().toStdString(), std::string(rules::Trim(read.GasUnit(channel))));
    const std::array<float, 2> levels = {read.Warning(channel), read.Alarm(channel)};
    double highest = std::max(levels[0], levels[1]);
    for (const QPointF& point : live->Series(channel)->points()) highest = std::max(highest, point.y());
    EXPECT_GE(scale->max(), highest) << "channel " << channel;
    EXPECT_LE(scale->max(), highest * 1.11) << "channel " << channel;
    for (int level = 0; level < 2; ++level) {
      const QLineSeries* line = live->LevelLine(channel, level);
      ASSERT_NE(line, nullptr) << "channel " << channel << " level " << level;
      EXPECT_FLOAT_EQ(static_cast<float>(line->at(0).y()), levels[static_cast<std::size_t>(level)]);
      EXPECT_NE(line->pen().style(), Qt::SolidLine) << "levels are dashed";
      EXPECT_TRUE(live->ChartView(channel)->chart()->series().contains(const_cast<QLineSeries*>(line)))
          << "levels are drawn in their channel's own plot";
    }
  }
  // The link is taken meanwhile: no other operation can start.
  EXPECT_FALSE(Action("mnuServiceZero")->isEnabled());
  EXPECT_FALSE(window_->findChild<QPushButton*>(QStringLiteral("cmdGet"))->isEnabled());

  live->close();
  ASSERT_TRUE(WaitFor([live] { return !live->Polling(); }, 3000));
  const int polls = Polls();
  Pass(2500);
  EXPECT_EQ(Polls(), polls);
  EXPECT_TRUE(Action("mnuServiceZero")->isEnabled());

  // Opened again, it goes on plotting.
  const int points = live->Series(0)->count();
  ASSERT_EQ(OpenLive(), live);
  EXPECT_TRUE(WaitFor([&] { return HasPoints(*live, points + 2); }, 10000));
  live->close();
  EXPECT_TRUE(WaitFor([live] { return !live->Polling(); }, 3000));
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
