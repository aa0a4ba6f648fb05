#pragma once
// The link's 100 ms session tick on a QTimer. Before each tick it polls the
// serial transport's modem lines, which QSerialPort does not report by itself.
#include <QObject>
#include <QTimer>

namespace kv {

class uclTzif;
class QtSerialTransport;

class LinkTicker final : public QObject {
  Q_OBJECT

 public:
  static constexpr int kIntervalMs = 100;

  // `lines` may be null (no modem lines to poll).
  LinkTicker(uclTzif& link, QtSerialTransport* lines, QObject* parent = nullptr);

  void Start() { timer_.start(); }
  void Stop() { timer_.stop(); }
  bool IsActive() const { return timer_.isActive(); }

 private:
  void OnTimeout();

  uclTzif& link_;
  QtSerialTransport* lines_;
  QTimer timer_;
};

}  // namespace kv
