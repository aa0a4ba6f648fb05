#include "cli/interrupt_watch.h"

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace kv::cli {
namespace {

int g_signalPipe[2] = {-1, -1};
struct sigaction g_previousInt {};
struct sigaction g_previousTerm {};

extern "C" void OnInterruptSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

}  // namespace

InterruptWatch::InterruptWatch() {
  if (::pipe(g_signalPipe) != 0) return;  // then signals keep their default effect
  for (const int fd : g_signalPipe) {
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  notifier_ = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &InterruptWatch::OnSignalByte);
  struct sigaction action {};
  action.sa_handler = OnInterruptSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, &g_previousInt);
  ::sigaction(SIGTERM, &action, &g_previousTerm);
}

InterruptWatch::~InterruptWatch() {
  if (!notifier_) return;
  ::sigaction(SIGINT, &g_previousInt, nullptr);
  ::sigaction(SIGTERM, &g_previousTerm, nullptr);
  notifier_.reset();
  for (int& fd : g_signalPipe) {
    ::close(fd);
    fd = -1;
  }
}

void InterruptWatch::OnSignalByte() {
  char bytes[16];
  while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
  }
  if (interrupted_) return;
  interrupted_ = true;
  if (handler_) handler_();
}

}  // namespace kv::cli
