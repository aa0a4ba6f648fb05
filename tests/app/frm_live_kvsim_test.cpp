// The live readings window against the simulated instrument: it plots the
// readings with each channel's alarm levels and stops polling when it is
// closed or the instrument goes away.
#include <gtest/gtest.h>

#include <QLineSeries>
#include <QTest>

#include "app/frm_live.h"
#include "kvsim_trace.h"

namespace kv {
namespace {

class LiveReadingsOnKvsim : public test::TracedWindowOnKvsim {
 protected:
  frmLive* OpenLive() {
    QAction* open = Action("mnuServiceLive");
    if (open == nullptr || !open->isEnabled()) return nullptr;
    open->trigger();
    return window_->LiveWindow();
  }

  static bool HasPoints(const frmLive& live, int points) {
    const QLineSeries* series = live.Series(0);
    return series != nullptr && series->count() >= points;
  }

  int Polls() const { return static_cast<int>(Trace().count(QStringLiteral("> DN,R,"))); }
};

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

TEST_F(LiveReadingsOnKvsim, StopsPollingWhenTheInstrumentGoesAway) {
  ASSERT_NO_FATAL_FAILURE(StartTraced());
  window_->Link().SetTimeout(1);  // keeps the unanswered waits short
  frmLive* live = OpenLive();
  ASSERT_NE(live, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([live] { return HasPoints(*live, 1); }, 10000));
  simulator_.Stop();
  ASSERT_TRUE(QTest::qWaitFor([live] { return !live->Polling(); }, 15000));
  EXPECT_FALSE(window_->Busy());
}

// Closing the main window while readings are polled is not refused: the
// live window closes, and once its last poll is in the exit is asked.
TEST_F(LiveReadingsOnKvsim, ClosingTheMainWindowEndsTheReadingsThenAsks) {
  ASSERT_NO_FATAL_FAILURE(StartTraced());
  frmLive* live = OpenLive();
  ASSERT_NE(live, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([live] { return HasPoints(*live, 1); }, 10000));
  dialogs_.answers.push_back(false);  // "EXIT ?": no, so the fixture keeps its window
  window_->close();
  EXPECT_FALSE(live->isVisible());
  ASSERT_TRUE(QTest::qWaitFor([this] { return !dialogs_.calls.empty(); }, 5000));
  EXPECT_EQ(dialogs_.calls.back().text, QStringLiteral("EXIT ?"));
  EXPECT_FALSE(live->Polling());
  const int polls = Polls();
  QTest::qWait(1500);
  EXPECT_EQ(Polls(), polls);
}

}  // namespace
}  // namespace kv
