#pragma once
// The link as the programs run it, for timing: kvsim on a pseudo-terminal as
// a child process, the real QtSerialTransport and uclTzif with its 100 ms
// tick on this process's Qt event loop, and a count of the bytes that cross
// the line in each direction.
#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "link/forwarding_transport.h"
#include "common/clock.h"
#include "link/link.h"
#include "link/task.h"
#include "qtedge/link_ticker.h"
#include "qtedge/qt_serial_transport.h"

namespace kv::bench {

struct LineBytes {
  std::size_t sent = 0;
  std::size_t received = 0;
  std::size_t Total() const { return sent + received; }
};

// What crossed the line, and the program's own share of the time: from the
// arrival of a reply's last bytes to the next write handed to the port.
struct LineStats {
  LineBytes bytes;
  double turnaroundMs = 0;
  std::optional<std::chrono::steady_clock::time_point> lastArrival;

  void Arrived(std::size_t count) {
    bytes.received += count;
    lastArrival = std::chrono::steady_clock::now();
  }
  void Writing(std::size_t count) {
    bytes.sent += count;
    if (lastArrival) {
      turnaroundMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - *lastArrival).count();
      lastArrival.reset();
    }
  }
};

// kvsim with the given options; stopped with the rig.
class SimulatorProcess {
 public:
  SimulatorProcess(const QString& program, const QStringList& options);
  ~SimulatorProcess();
  SimulatorProcess(const SimulatorProcess&) = delete;
  SimulatorProcess& operator=(const SimulatorProcess&) = delete;

  // The device path it printed; empty when it did not start.
  const QString& Device() const { return device_; }

 private:
  QProcess process_;
  QString device_;
};

// Hands everything to the serial port and counts the bytes written.
class CountingTransport final : public ForwardingTransport {
 public:
  CountingTransport(Transport& inner, LineStats& stats) : ForwardingTransport(inner), stats_(stats) {}

  bool Write(std::string_view bytes) override {
    stats_.Writing(bytes.size());
    return ForwardingTransport::Write(bytes);
  }

 private:
  LineStats& stats_;
};

class LinkRig final : private TransportEvents, private LinkListener {
 public:
  explicit LinkRig(const QString& device);
  ~LinkRig() override;
  LinkRig(const LinkRig&) = delete;
  LinkRig& operator=(const LinkRig&) = delete;

  // Opens the port and waits for the connect sequence; false when the
  // instrument did not answer. Again after Close, the link connects anew.
  bool Connect();
  // Runs a transaction to its end on the event loop; its result.
  bool Run(Transaction transaction);

  uclTzif& Link() { return link_; }
  // Lets go of the port (the raw client may open it next).
  void Close();
  const LineStats& Stats() const { return stats_; }
  void ResetStats() { stats_ = {}; }

 private:
  // TransportEvents: arrivals are counted and handed to the link.
  void OnBytesReceived(std::string_view bytes) override;
  void OnModemLinesChanged(bool cts, bool dsr) override { link_.OnModemLinesChanged(cts, dsr); }
  void OnSerialFault(SerialFault fault) override { link_.OnSerialFault(fault); }
  // LinkListener
  void OnConnect() override;
  void AlarmMessage(const std::string&) override;

  SystemClock clock_;
  LineStats stats_;
  QtSerialTransport serial_;
  CountingTransport port_{serial_, stats_};
  uclTzif link_{port_, clock_};
  LinkTicker ticker_{link_};
  QEventLoop loop_;
  bool connected_ = false;
  bool gaveUp_ = false;
  bool done_ = false;
  bool result_ = false;
};

}  // namespace kv::bench
