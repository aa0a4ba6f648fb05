#pragma once
// The link's transport on a QSerialPort. Thin: it applies settings, writes
// bytes, and reports arrivals, modem-line changes and faults to the link.
//
// QSerialPort has no notification for CTS/DSR changes, so PollModemLines()
// (called on every session tick) compares them with the last reading. A
// pseudo-terminal has no modem lines: its line operations fail with
// UnsupportedOperationError, which is not a fault; such a device counts as
// connected once it is open.
#include <QObject>
#include <QSerialPort>
#include <optional>
#include <string>

#include "link/serial_settings.h"
#include "link/transport.h"
#include "qtedge/port_open_check.h"

namespace kv {

class QtSerialTransport final : public QObject, public Transport {
  Q_OBJECT

 public:
  explicit QtSerialTransport(QObject* parent = nullptr);

  void Attach(TransportEvents* events) override { events_ = events; }
  // A port name ("ttyUSB0") or a device path ("/dev/pts/3"); pseudo-terminals
  // are not listed by the port enumeration, so a path is always accepted.
  void SetPortName(const QString& nameOrPath) { port_.setPortName(nameOrPath); }
  QString PortName() const { return port_.portName(); }
  // How the device is first tried (tests refuse it); the system's open(2)
  // unless replaced.
  void SetDeviceOpen(DeviceOpenFunction open) { deviceOpen_ = std::move(open); }

  // Removes a stale lock of the device first (see serial_port_lock.h); on
  // failure says why.
  OpenResult Open() override;
  void Close() override;
  bool IsOpen() const override { return port_.isOpen(); }
  bool Write(std::string_view bytes) override;
  void SetDtr(bool on) override;
  void SetRts(bool on) override;
  void SetHandshaking(int mode) override;
  int Handshaking() const override { return handshaking_; }
  bool SetSettings(std::string_view settings) override;
  std::string Settings() const override { return settingsText_; }
  std::optional<ModemLines> ReadModemLines() const override;

  // Reports a change of CTS or DSR since the last reading.
  void PollModemLines() override;

 private:
  void ApplySettings();
  void ApplyLines();
  void OnReadyRead();
  void OnError(QSerialPort::SerialPortError error);
  OpenResult OpenDevice(const QString& device);
  OpenResult OpenFailed(const QString& lockPath);

  // pinoutSignals() is not const in QSerialPort.
  mutable QSerialPort port_;
  TransportEvents* events_ = nullptr;
  DeviceOpenFunction deviceOpen_ = SystemDeviceOpen();
  // Set while writing: a failed write is answered by Write()'s result, not
  // reported a second time as a fault.
  bool writing_ = false;
  SerialSettings settings_;
  std::string settingsText_ = "9600,n,8,1";
  int handshaking_ = 0;
  bool dtr_ = false;
  bool rts_ = false;
  std::optional<ModemLines> lastLines_;
  // Set by OnError when a line operation is not supported by the device.
  mutable bool unsupportedOperation_ = false;
};

}  // namespace kv
