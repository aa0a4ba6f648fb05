// The live readings window against kvsim on its pseudo-terminal, in real
// time: the whole program's path, the serial port and the system clock, plots
// and stops polling when closed. What it plots, channel by channel, is
// checked in process in virtual time (frm_live_on_sim_test.cpp).
#include <gtest/gtest.h>

#include <QTest>

#include "live_readings.h"
#include "kvsim_trace.h"

namespace kv {
namespace {

using LiveReadingsOnKvsim = test::LiveReadings<test::TracedWindowOnKvsim>;

TEST_F(LiveReadingsOnKvsim, PlotsTheReadingsAndStopsWhenClosed) {
  ASSERT_NO_FATAL_FAILURE(StartTraced());
  frmLive* live = OpenLive();
  ASSERT_NE(live, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([live] { return HasPoints(*live, 2); }, 10000));
  // A second apart on the system clock.
  const QLineSeries* readings = live->Series(0);
  EXPECT_GE(readings->at(1).x() - readings->at(0).x(), 1.0);
  EXPECT_NE(live->ValueText(0), QStringLiteral("-"));
  EXPECT_FALSE(Action("mnuServiceZero")->isEnabled());

  live->close();
  ASSERT_TRUE(QTest::qWaitFor([live] { return !live->Polling(); }, 3000));
  const int polls = Polls();
  QTest::qWait(1300);
  EXPECT_EQ(Polls(), polls);
  EXPECT_TRUE(Action("mnuServiceZero")->isEnabled());
}

}  // namespace
}  // namespace kv
