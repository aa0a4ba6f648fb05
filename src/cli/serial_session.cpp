#include "cli/serial_session.h"

namespace kv::cli {

void SerialSession::StartTicks(uclTzif& link) {
  if (!ticker_) ticker_ = std::make_unique<LinkTicker>(link);
  ticker_->Start();
}

void SerialSession::StopTicks() {
  if (ticker_) ticker_->Stop();
}

void SerialSession::RunUntil(const std::function<bool()>& finished) {
  while (!finished() && !interrupts_.Interrupted()) loop_.exec();
}

void SerialSession::RunAfterInterrupt(const std::function<bool()>& finished) {
  while (!finished()) loop_.exec();
}

void SerialSession::Wake() {
  if (loop_.isRunning()) loop_.quit();
}

}  // namespace kv::cli
