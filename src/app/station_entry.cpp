// The window's way into station mode.
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "app/station_dialog.h"
#include "qtedge/latin1.h"

namespace kv {

StationDialog* frmMain::OpenStation() {
  if (station_ == nullptr) {
    std::string error;
    history::Store* history = HistoryStore(&error);
    if (history == nullptr && !error.empty()) {
      AppendInfo(ToQString("history not recorded: " + error), info_colour::kFailure);
    }
    station_ = new StationDialog(*this, history);
  }
  station_->show();
  station_->raise();
  return station_;
}

}  // namespace kv
