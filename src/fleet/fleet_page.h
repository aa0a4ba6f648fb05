#pragma once
// The read-only fleet pages of `kvmaint fleet serve` as HTML:
// the fleet table, and one instrument's events with a plot (inline SVG) of
// its alarm levels over time. No script, no outside resource; every text
// that came from an instrument or the history is escaped.
#include <string>
#include <string_view>
#include <vector>

#include "history/history_store.h"

namespace kv::fleet {

// One row of the fleet table.
struct FleetPageRow {
  std::string serial, model, lastSeen, lastRead;
  std::string due;         // "overdue", "due within 12 days", ...
  std::string compliance;  // "compliant", "3 settings differ", "never read", "no policy"
};

// One read's warning and alarm level of one channel, as a share of its full scale.
struct LevelPoint {
  std::string time;  // the read's event time
  int channel = 0;
  std::string gas;
  double warningShare = 0, alarmShare = 0;  // 0..1
};

// The levels of each successful read's snapshot in `events` (oldest first),
// kept only where a channel's levels changed (and the latest read).
std::vector<LevelPoint> AlarmLevelChanges(const std::vector<history::Event>& events);

// Latin-1 text as HTML: markup characters and bytes above 0x7F as
// character references, so the page is plain ASCII.
std::string HtmlText(std::string_view latin1);

std::string FleetPageHtml(const std::vector<FleetPageRow>& rows);
std::string InstrumentPageHtml(std::string_view serial, const std::vector<history::Event>& events,
                               const std::vector<LevelPoint>& levels);
std::string LevelPlotSvg(const std::vector<LevelPoint>& levels);

}  // namespace kv::fleet
