#pragma once
// The port under the link. The link writes through a Transport; whoever owns
// the real port reports what happens on it through TransportEvents (the link
// implements them). Neither side blocks.
#include <optional>
#include <string>
#include <string_view>

#include "link/link_types.h"

namespace kv {

// The two modem status lines the instrument's adapter raises.
struct ModemLines {
  bool cts = false;
  bool dsr = false;

  bool AnyUp() const { return cts || dsr; }
  bool operator==(const ModemLines&) const = default;
};

class Transport {
 public:
  virtual ~Transport() = default;

  // Opening may fail (no such port, no permission): false, nothing else.
  virtual bool Open() = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  // Writes the bytes as they are (text lines and byte arrays alike).
  virtual bool Write(std::string_view bytes) = 0;

  virtual void SetDtr(bool on) = 0;
  virtual void SetRts(bool on) = 0;
  // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both.
  virtual void SetHandshaking(int mode) = 0;
  virtual int Handshaking() const = 0;
  // "baud,parity,data,stop", for example "921600,n,8,1"; false when the text
  // is not understood (the settings stay as they were).
  virtual bool SetSettings(std::string_view settings) = 0;
  virtual std::string Settings() const = 0;

  // The current modem lines, or nothing when the device has none (a
  // pseudo-terminal): such a device counts as connected once it is open.
  virtual std::optional<ModemLines> ReadModemLines() const = 0;
};

// What a port reports to the link.
class TransportEvents {
 public:
  virtual ~TransportEvents() = default;
  virtual void OnBytesReceived(std::string_view bytes) = 0;
  virtual void OnModemLinesChanged(bool cts, bool dsr) = 0;
  virtual void OnSerialFault(SerialFault fault) = 0;
};

}  // namespace kv
