// The window's way into station mode.
#include "app/frm_main.h"
#include "app/station_dialog.h"

namespace kv {

StationDialog* frmMain::OpenStation() {
  if (station_ == nullptr) station_ = new StationDialog(*this);
  station_->show();
  station_->raise();
  return station_;
}

}  // namespace kv
