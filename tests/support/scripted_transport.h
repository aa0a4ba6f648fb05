#pragma once
// A port in memory for tests, fuzz targets and benchmarks of the link.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/transport.h"

namespace kv::testsupport {

// A port in memory. Writes are recorded with the tick they happened on;
// Deliver() plays bytes from the instrument to the attached link.
class ScriptedTransport : public Transport {
 public:
  struct WrittenLine {
    std::string bytes;
    long tick;
  };

  void Attach(TransportEvents* events) override { events_ = events; }
  // Called on every write, after it is recorded (the scripted instrument).
  void OnWrite(std::function<void(std::string_view)> observer) { observer_ = std::move(observer); }

  OpenResult Open() override {
    ++opens;
    if (!openable) {
      return OpenResult::Failed(refusal, {}, portName);
    }
    open_ = true;
    return OpenResult::Opened();
  }
  void Close() override {
    ++closes;
    open_ = false;
  }
  bool IsOpen() const override { return open_; }

  bool Write(std::string_view bytes) override {
    writes.push_back({std::string(bytes), currentTick});
    if (!writable) {
      return false;  // refused: the instrument never sees it
    }
    if (observer_) {
      observer_(bytes);
    }
    return open_;
  }

  void SetDtr(bool on) override { dtr = on; }
  void SetRts(bool on) override { rts = on; }
  void SetHandshaking(int mode) override { handshaking_ = mode; }
  int Handshaking() const override { return handshaking_; }
  bool SetSettings(std::string_view settings) override {
    settings_ = settings;
    return true;
  }
  std::string Settings() const override { return settings_; }
  std::optional<ModemLines> ReadModemLines() const override { return modemLines; }

  // Bytes from the instrument, in one piece.
  void Deliver(std::string_view bytes) {
    if (events_ != nullptr) {
      events_->OnBytesReceived(bytes);
    }
  }
  // The same bytes in pieces of `pieceSize`.
  void DeliverInPieces(std::string_view bytes, std::size_t pieceSize) {
    for (std::size_t at = 0; at < bytes.size(); at += pieceSize) {
      Deliver(bytes.substr(at, pieceSize));
    }
  }

  std::vector<std::string> WrittenBytes() const {
    std::vector<std::string> all;
    for (const WrittenLine& write : writes) {
      all.push_back(write.bytes);
    }
    return all;
  }

  std::vector<WrittenLine> writes;
  long currentTick = 0;
  int opens = 0;
  int closes = 0;
  bool openable = true;
  OpenFailure refusal = OpenFailure::PermissionDenied;
  // The port an open failure names.
  std::string portName;
  // False: every write is refused (the port cannot take the bytes).
  bool writable = true;
  bool dtr = false;
  bool rts = false;
  // Nothing: a device without modem lines (a pseudo-terminal).
  std::optional<ModemLines> modemLines = ModemLines{true, true};

 private:
  TransportEvents* events_ = nullptr;
  std::function<void(std::string_view)> observer_;
  bool open_ = false;
  int handshaking_ = 0;
  std::string settings_ = "9600,n,8,1";
};

}  // namespace kv::testsupport
