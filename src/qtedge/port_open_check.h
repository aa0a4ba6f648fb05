#pragma once
// Why a serial port does not open, in words the user can act on. QSerialPort
// reports "permission error" alike for a device the user may not open and
// for one another program has locked, and nothing at all for a device that
// is no terminal; the device is therefore tried once with the system's own
// open() before QSerialPort takes it.
#include <QSerialPort>
#include <QString>
#include <functional>

#include "link/transport.h"

namespace kv {

// open(2) as the check calls it: a descriptor, or -1 with errno set. Tests
// inject one that refuses (CI runs as root, where file modes refuse nothing).
using DeviceOpenFunction = std::function<int(const char* path, int flags)>;

// The system's open(2).
DeviceOpenFunction SystemDeviceOpen();

// A device opened for the check; it stays open until the port has been
// opened, so that a pseudo-terminal never sees its last user go away.
class DeviceCheck {
 public:
  DeviceCheck(const QString& systemLocation, const DeviceOpenFunction& open);
  ~DeviceCheck();
  DeviceCheck(const DeviceCheck&) = delete;
  DeviceCheck& operator=(const DeviceCheck&) = delete;

  // Opened and a terminal: OpenResult::Opened(); otherwise why not.
  const OpenResult& Result() const { return result_; }

 private:
  int descriptor_ = -1;
  OpenResult result_;
};

// The reason a QSerialPort error on opening gives.
OpenFailure OpenFailureFromSerialError(QSerialPort::SerialPortError error);

// "/dev/ttyUSB0" for "ttyUSB0"; a path stays as it is.
QString SystemLocationOf(const QString& nameOrPath);

}  // namespace kv
