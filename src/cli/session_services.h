#pragma once
// What one session with the instrument runs on: the port, the clock, the
// link's 100 ms tick and the wait for the link to get somewhere. kvmaint's
// own are the serial port in real time (serial_session.h); the tests give
// the simulated instrument in virtual time, so a 2 s wait costs nothing.
#include <QString>
#include <functional>

#include "common/clock.h"
#include "link/transport.h"

namespace kv {
class uclTzif;
}

namespace kv::cli {

class SessionServices {
 public:
  virtual ~SessionServices() = default;

  virtual Transport& Port() = 0;
  virtual const Clock& Time() const = 0;
  // Names the device before the link opens it.
  virtual void SetPortName(const QString& port) = 0;

  // The link's session tick from now on, and no more.
  virtual void StartTicks(uclTzif& link) = 0;
  virtual void StopTicks() = 0;

  // Lets the port, the tick and time run until `finished` says so or the
  // session is interrupted.
  virtual void RunUntil(const std::function<bool()>& finished) = 0;
  // After an interrupt: lets the port, the tick and time run on until
  // `finished` (a transaction winding down, bounded by its own ticks).
  virtual void RunAfterInterrupt(const std::function<bool()>& finished) = 0;
  // Something `finished` looks at may have changed.
  virtual void Wake() = 0;

  // Ctrl-C (or a test's end of patience): `handler` runs once, then
  // Interrupted() stays true.
  virtual void SetInterruptHandler(std::function<void()> handler) = 0;
  virtual bool Interrupted() const = 0;
};

}  // namespace kv::cli
