#pragma once
// Ctrl-C and SIGTERM while kvmaint talks to the instrument. The signal handler
// only writes a byte to a pipe; a QSocketNotifier turns that byte into a call
// on the event loop, where the link is cancelled and the port closed.
#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace kv::cli {

class InterruptWatch final : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers; the previous ones come back on destruction.
  InterruptWatch();
  ~InterruptWatch() override;
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  // Called on the event loop once, at the first signal.
  void SetHandler(std::function<void()> handler) { handler_ = std::move(handler); }
  bool Interrupted() const { return interrupted_; }

 private:
  void OnSignalByte();

  std::unique_ptr<QSocketNotifier> notifier_;
  std::function<void()> handler_;
  bool interrupted_ = false;
};

}  // namespace kv::cli
