// The window's way into station mode: the main window as the station's
// host, and the other adapters of the PC on serial ports of their own.
#include <QStringList>
#include <memory>

#include "app/frm_main.h"
#include "app/info_pane.h"
#include "app/station_dialog.h"
#include "qtedge/adapter_port.h"
#include "qtedge/latin1.h"
#include "qtedge/link_ticker.h"
#include "qtedge/qt_serial_transport.h"

namespace kv {
namespace {

// Ports served besides the adapters the search finds (a simulator's
// pseudo-terminal, an adapter of another make), separated by commas.
constexpr const char* kMoreAdaptersVariable = "KV_STATION_PORTS";

// Another adapter, set up as the window sets up its own (`like`), ticked
// every 100 ms.
class SerialStationAdapter final : public StationAdapter {
 public:
  SerialStationAdapter(const QString& port, const Clock& clock, const uclTzif& like)
      : link_(transport_, clock), ticker_(link_) {
    transport_.Attach(&link_);
    link_.SetRetry(like.Retry());
    link_.SetTimeout(like.Timeout());
    transport_.SetPortName(port);
    link_.SetSerialComm(true);
    link_.SetRTSEnable(true);
    link_.SetDTREnable(true);
    link_.SetHandshaking(2);
    link_.SetSettings(frmMain::kAdapterSettings);
  }
  ~SerialStationAdapter() override { transport_.Attach(nullptr); }
  SerialStationAdapter(const SerialStationAdapter&) = delete;
  SerialStationAdapter& operator=(const SerialStationAdapter&) = delete;

  bool Open() {
    if (!link_.SetPortOpen(true)) return false;
    ticker_.Start();
    return true;
  }
  uclTzif& Link() override { return link_; }

 private:
  QtSerialTransport transport_;
  uclTzif link_;
  LinkTicker ticker_;  // after the link: stops first
};

class WindowStationHost final : public StationHost {
 public:
  WindowStationHost(frmMain& window, const Clock& clock, std::function<QString()> ownPort)
      : window_(window), clock_(clock), ownPort_(std::move(ownPort)) {}

  std::filesystem::path BackupFolder() const override { return window_.BackupFolder(); }
  DateTime Now() const override { return clock_.Now(); }
  QString OwnPort() const override { return ownPort_ ? ownPort_() : QString(); }
  uclTzif* FreeLink() override {
    return window_.Busy() || window_.Link().TaskRunning() ? nullptr : &window_.Link();
  }
  QStringList OtherAdapters() override {
    QStringList ports = AllAdapterPorts();
    ports += qEnvironmentVariable(kMoreAdaptersVariable).split(QLatin1Char(','), Qt::SkipEmptyParts);
    ports.removeDuplicates();
    ports.removeAll(OwnPort());
    return ports;
  }
  std::unique_ptr<StationAdapter> OpenAdapter(const QString& port) override {
    auto adapter = std::make_unique<SerialStationAdapter>(port, clock_, window_.Link());
    if (!adapter->Open()) return nullptr;
    return adapter;
  }

 private:
  frmMain& window_;
  const Clock& clock_;
  std::function<QString()> ownPort_;
};

}  // namespace

StationDialog* frmMain::OpenStation() {
  if (station_ == nullptr) {
    history::Recorder* recorder = services_.recorder;
    std::string error;
    if (recorder == nullptr) recorder = HistoryStore(&error);
    if (recorder == nullptr && !error.empty()) {
      AppendInfo(ToQString("history not recorded: " + error), info_colour::kFailure);
    }
    station_ = new StationDialog(std::make_unique<WindowStationHost>(*this, *services_.clock, services_.portName),
                                 recorder, this);
  }
  station_->show();
  station_->raise();
  return station_;
}

}  // namespace kv
