#pragma once
// SIGINT, SIGTERM and SIGHUP in kvmaint and the window: the program ends as
// it would normally, releasing the port's lock and its temporaries. The
// signal handler only writes a byte to a pipe; a QSocketNotifier turns that
// byte into a call on the event loop (kvmaint cancels the link and closes the
// port, the window quits its event loop). Several watches may live at once
// (kvmaint serving several adapters, a session each): every one is told.
#include <QObject>
#include <functional>

namespace kv {

class InterruptWatch final : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers (the first watch alive); the previous ones come
  // back when the last watch alive goes.
  InterruptWatch();
  ~InterruptWatch() override;
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  // Called on the event loop once, at the first signal.
  void SetHandler(std::function<void()> handler) { handler_ = std::move(handler); }
  bool Interrupted() const { return interrupted_; }

 private:
  static void OnSignalByte();
  void Signalled();

  std::function<void()> handler_;
  bool interrupted_ = false;
};

}  // namespace kv
