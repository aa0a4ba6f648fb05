#include "qtedge/interrupt_watch.h"

#include <QSocketNotifier>
#include <algorithm>
#include <csignal>
#include <iterator>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace kv {
namespace {

int g_signalPipe[2] = {-1, -1};

// Ctrl-C, kill, and the terminal going away (a closed ssh session) alike.
constexpr int kWatchedSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_previous[std::size(kWatchedSignals)] {};

extern "C" void OnInterruptSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

// Every watch alive, and the one notifier on the pipe they share.
std::vector<InterruptWatch*>& Watches() {
  static std::vector<InterruptWatch*> watches;
  return watches;
}

std::unique_ptr<QSocketNotifier>& Notifier() {
  static std::unique_ptr<QSocketNotifier> notifier;
  return notifier;
}

}  // namespace

InterruptWatch::InterruptWatch() {
  Watches().push_back(this);
  if (Watches().size() > 1 || ::pipe(g_signalPipe) != 0) return;  // failing: signals keep their default effect
  for (const int fd : g_signalPipe) {
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  Notifier() = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
  QObject::connect(Notifier().get(), &QSocketNotifier::activated, &InterruptWatch::OnSignalByte);
  struct sigaction action {};
  action.sa_handler = OnInterruptSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kWatchedSignals); ++i) {
    ::sigaction(kWatchedSignals[i], &action, &g_previous[i]);
  }
}

InterruptWatch::~InterruptWatch() {
  std::erase(Watches(), this);
  if (!Watches().empty() || !Notifier()) return;
  for (std::size_t i = 0; i < std::size(kWatchedSignals); ++i) {
    ::sigaction(kWatchedSignals[i], &g_previous[i], nullptr);
  }
  Notifier().reset();
  for (int& fd : g_signalPipe) {
    ::close(fd);
    fd = -1;
  }
}

void InterruptWatch::OnSignalByte() {
  char bytes[16];
  while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
  }
  // A handler may end a watch: tell those alive now, each once.
  const std::vector<InterruptWatch*> watches = Watches();
  for (InterruptWatch* watch : watches) {
    if (std::find(Watches().begin(), Watches().end(), watch) != Watches().end()) watch->Signalled();
  }
}

void InterruptWatch::Signalled() {
  if (interrupted_) return;
  interrupted_ = true;
  if (handler_) handler_();
}

}  // namespace kv
