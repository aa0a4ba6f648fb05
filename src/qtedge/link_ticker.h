#pragma once
// The link's 100 ms session tick on a QTimer. Before each tick it has the
// link's port poll its modem lines, which QSerialPort does not report by
// itself.
#include <QObject>
#include <QTimer>

namespace kv {

class uclTzif;

class LinkTicker final : public QObject {
  Q_OBJECT

 public:
  static constexpr int kIntervalMs = 100;

  explicit LinkTicker(uclTzif& link, QObject* parent = nullptr);

  void Start() { timer_.start(); }
  void Stop() { timer_.stop(); }
  bool IsActive() const { return timer_.isActive(); }

 private:
  void OnTimeout();

  uclTzif& link_;
  QTimer timer_;
};

}  // namespace kv
