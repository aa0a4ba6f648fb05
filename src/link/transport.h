#pragma once
// The port under the link. The link writes through a Transport; whoever owns
// the real port reports what happens on it through TransportEvents (the link
// implements them). Neither side blocks.
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "link/link_types.h"

namespace kv {

// The two modem status lines the instrument's adapter raises.
struct ModemLines {
  bool cts = false;
  bool dsr = false;

  bool AnyUp() const { return cts || dsr; }
  bool operator==(const ModemLines&) const = default;
};

// Why a port could not be opened.
enum class OpenFailure { None, NoSuchDevice, NotSerialDevice, PermissionDenied, InUse, Other };

// The outcome of opening a port: opened, or the reason it was not.
struct OpenResult {
  OpenFailure failure = OpenFailure::None;
  // The system's own words, or who holds the port ("process 1234").
  std::string detail;
  // The device that was tried ("/dev/ttyUSB0").
  std::string port;

  static OpenResult Opened() { return {}; }
  static OpenResult Failed(OpenFailure why, std::string detail = {}, std::string port = {}) {
    return {why, std::move(detail), std::move(port)};
  }
  bool Ok() const { return failure == OpenFailure::None; }
  explicit operator bool() const { return Ok(); }
};

// The reason an errno value from opening a device gives.
OpenFailure OpenFailureFromErrno(int error);

// What the user is told: "cannot open the port X: permission denied (add
// yourself with: ...)". Empty for an opened port.
std::string OpenFailureText(const OpenResult& result);

class TransportEvents;

class Transport {
 public:
  virtual ~Transport() = default;

  // Who hears what happens on the port (the link); null: nobody.
  virtual void Attach(TransportEvents* events) = 0;

  virtual OpenResult Open() = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  // Writes the bytes as they are (text lines and byte arrays alike); false
  // when they could not be handed to the port (closed, gone, buffer full).
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
  // Reports a change of the modem lines since the last reading, for a port
  // that does not signal one itself. Called before every session tick.
  virtual void PollModemLines() {}
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
