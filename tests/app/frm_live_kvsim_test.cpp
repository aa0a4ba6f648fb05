// The live readings window against kvsim on its pseudo-terminal, in real
// time: the plot's time axis is the window's own elapsed time, so the points
// are a second apart only when a second has passed. It plots the readings
// with each channel's alarm levels and stops polling when it is closed. The
// other live cases run in process (frm_live_on_sim_test.cpp).
#include <gtest/gtest.h>

#include <QTest>

#include "live_readings.h"
#include "kvsim_trace.h"

namespace kv {
namespace {

using LiveReadingsOnKvsim = test::LiveReadings<test::TracedWindowOnKvsim>;

TEST_F(LiveReadingsOnKvsim, PlotsTheReadingsWithTheAlarmLevelsAndStopsWhenClosed) {
  ASSERT_NO_FATAL_FAILURE(StartTraced());
  // What the instrument holds, to compare the plot with.
  RunGet();
  const clsInstrument& read = window_->CurInstrument();
  frmLive* live = OpenLive();
  ASSERT_NE(live, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([live] { return HasPoints(*live, 3); }, 10000));
  // Once a second: three points take at least two seconds.
  const QLineSeries* readings = live->Series(0);
  EXPECT_GE(readings->at(2).x() - readings->at(0).x(), 1.8);
  EXPECT_NE(live->ValueText(0), QStringLiteral("-"));
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    if (!read.GasEnabled(channel)) {
      EXPECT_EQ(live->Series(channel), nullptr) << "channel " << channel;
      continue;
    }
    ASSERT_NE(live->Series(channel), nullptr) << "channel " << channel;
    const std::array<float, 2> levels = {read.Warning(channel), read.Alarm(channel)};
    for (int level = 0; level < 2; ++level) {
      const QLineSeries* line = live->LevelLine(channel, level);
      ASSERT_NE(line, nullptr) << "channel " << channel << " level " << level;
      EXPECT_FLOAT_EQ(static_cast<float>(line->at(0).y()), levels[static_cast<std::size_t>(level)]);
      EXPECT_NE(line->pen().style(), Qt::SolidLine) << "levels are dashed";
    }
  }
  // The link is taken meanwhile: no other operation can start.
  EXPECT_FALSE(Action("mnuServiceZero")->isEnabled());
  EXPECT_FALSE(window_->findChild<QPushButton*>(QStringLiteral("cmdGet"))->isEnabled());

  live->close();
  ASSERT_TRUE(QTest::qWaitFor([live] { return !live->Polling(); }, 3000));
  const int polls = Polls();
  QTest::qWait(2500);
  EXPECT_EQ(Polls(), polls);
  EXPECT_TRUE(Action("mnuServiceZero")->isEnabled());

  // Opened again, it goes on plotting.
  const int points = live->Series(0)->count();
  ASSERT_EQ(OpenLive(), live);
  EXPECT_TRUE(QTest::qWaitFor([&] { return HasPoints(*live, points + 2); }, 10000));
  live->close();
}

}  // namespace
}  // namespace kv
