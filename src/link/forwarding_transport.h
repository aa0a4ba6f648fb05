#pragma once
// A port that hands everything to another: a decorator (one that counts,
// records or can be pulled out) overrides only what it changes.
#include "link/transport.h"

namespace kv {

class ForwardingTransport : public Transport {
 public:
  explicit ForwardingTransport(Transport& inner) : inner_(inner) {}

  void Attach(TransportEvents* events) override { inner_.Attach(events); }
  OpenResult Open() override { return inner_.Open(); }
  void Close() override { inner_.Close(); }
  bool IsOpen() const override { return inner_.IsOpen(); }
  bool Write(std::string_view bytes) override { return inner_.Write(bytes); }
  void SetDtr(bool on) override { inner_.SetDtr(on); }
  void SetRts(bool on) override { inner_.SetRts(on); }
  void SetHandshaking(int mode) override { inner_.SetHandshaking(mode); }
  int Handshaking() const override { return inner_.Handshaking(); }
  bool SetSettings(std::string_view settings) override { return inner_.SetSettings(settings); }
  std::string Settings() const override { return inner_.Settings(); }
  std::optional<ModemLines> ReadModemLines() const override { return inner_.ReadModemLines(); }
  void PollModemLines() override { inner_.PollModemLines(); }

 private:
  Transport& inner_;
};

}  // namespace kv
