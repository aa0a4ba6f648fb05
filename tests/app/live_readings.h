#pragma once
// The live readings window opened from a traced window fixture (on kvsim or
// on the in-process simulator), and what it plotted and polled.
#include <QAction>
#include <QLineSeries>

#include "app/frm_live.h"

namespace kv::test {

template <class TracedWindow>
class LiveReadings : public TracedWindow {
 protected:
  frmLive* OpenLive() {
    QAction* open = this->Action("mnuServiceLive");
    if (open == nullptr || !open->isEnabled()) return nullptr;
    open->trigger();
    return this->window_->LiveWindow();
  }

  static bool HasPoints(const frmLive& live, int points) {
    const QLineSeries* series = live.Series(0);
    return series != nullptr && series->count() >= points;
  }

  int Polls() const { return static_cast<int>(this->Trace().count(QStringLiteral("> DN,R,"))); }
};

}  // namespace kv::test
