#include "qtedge/qt_serial_transport.h"

#include <QByteArray>

#include "qtedge/latin1.h"
#include "qtedge/serial_port_lock.h"

namespace kv {

namespace {

QSerialPort::Parity ToQt(Parity parity) {
  switch (parity) {
    case Parity::Even: return QSerialPort::EvenParity;
    case Parity::Odd: return QSerialPort::OddParity;
    case Parity::Mark: return QSerialPort::MarkParity;
    case Parity::Space: return QSerialPort::SpaceParity;
    case Parity::None: break;
  }
  return QSerialPort::NoParity;
}

QSerialPort::StopBits ToQt(StopBits stopBits) {
  switch (stopBits) {
    case StopBits::OneAndHalf: return QSerialPort::OneAndHalfStop;
    case StopBits::Two: return QSerialPort::TwoStop;
    case StopBits::One: break;
  }
  return QSerialPort::OneStop;
}

QSerialPort::FlowControl FlowControlOf(int handshaking) {
  switch (handshaking) {
    case 1: return QSerialPort::SoftwareControl;
    case 2:
    case 3: return QSerialPort::HardwareControl;  // RTS/CTS
    default: return QSerialPort::NoFlowControl;
  }
}

// "process 1234" for the live owner of the lock (or one on another host);
// empty when unknown.
std::string HolderOf(const QString& lockPath) { return LockHolderText(lockPath); }

}  // namespace

QtSerialTransport::QtSerialTransport(QObject* parent) : QObject(parent) {
  settings_ = *ParseSerialSettings(settingsText_);
  connect(&port_, &QSerialPort::readyRead, this, &QtSerialTransport::OnReadyRead);
  connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialTransport::OnError);
}

OpenResult QtSerialTransport::Open() {
  if (port_.isOpen()) {
    return OpenResult::Opened();
  }
  if (port_.portName().isEmpty()) {
    return OpenResult::Failed(OpenFailure::NoSuchDevice);
  }
  const QString device = SystemLocationOf(port_.portName());
  OpenResult result = OpenDevice(device);
  if (!result) result.port = ToLatin1(device);
  return result;
}

OpenResult QtSerialTransport::OpenDevice(const QString& device) {
  const QString lockPath = SerialLockFilePath(device);
  RemoveStaleSerialLock(lockPath);
  const DeviceCheck check(device, deviceOpen_);
  if (!check.Result()) {
    OpenResult refused = check.Result();
    if (refused.failure == OpenFailure::InUse) refused.detail = HolderOf(lockPath);
    return refused;
  }
  ApplySettings();
  if (!port_.open(QIODevice::ReadWrite)) {
    return OpenFailed(lockPath);
  }
  ApplyLines();
  // The lines as they are now are the baseline: the link reads them itself
  // when the port is opened from outside, and its own reopen is no change.
  lastLines_ = ReadModemLines();
  return OpenResult::Opened();
}

OpenResult QtSerialTransport::OpenFailed(const QString& lockPath) {
  const QSerialPort::SerialPortError error = port_.error();
  const std::string text = ToLatin1(port_.errorString());
  port_.clearError();
  // QSerialPort reports a lock held by another program as a permission error.
  if (const std::string holder = HolderOf(lockPath); !holder.empty()) {
    return OpenResult::Failed(OpenFailure::InUse, holder);
  }
  const OpenFailure failure = OpenFailureFromSerialError(error);
  return OpenResult::Failed(failure == OpenFailure::None ? OpenFailure::Other : failure, text);
}

void QtSerialTransport::Close() {
  if (port_.isOpen()) {
    port_.close();
  }
}

bool QtSerialTransport::Write(std::string_view bytes) {
  if (!port_.isOpen()) {
    return false;
  }
  const auto size = static_cast<qint64>(bytes.size());
  writing_ = true;
  const qint64 written = port_.write(bytes.data(), size);
  writing_ = false;
  return written == size;
}

void QtSerialTransport::SetDtr(bool on) {
  dtr_ = on;
  ApplyLines();
}

void QtSerialTransport::SetRts(bool on) {
  rts_ = on;
  ApplyLines();
}

void QtSerialTransport::SetHandshaking(int mode) {
  handshaking_ = mode;
  port_.setFlowControl(FlowControlOf(mode));
  ApplyLines();
}

bool QtSerialTransport::SetSettings(std::string_view settings) {
  const std::optional<SerialSettings> parsed = ParseSerialSettings(settings);
  if (!parsed) {
    return false;
  }
  settings_ = *parsed;
  settingsText_ = settings;
  ApplySettings();
  return true;
}

void QtSerialTransport::ApplySettings() {
  port_.setBaudRate(settings_.baudRate);
  port_.setParity(ToQt(settings_.parity));
  port_.setDataBits(static_cast<QSerialPort::DataBits>(settings_.dataBits));
  port_.setStopBits(ToQt(settings_.stopBits));
  port_.setFlowControl(FlowControlOf(handshaking_));
}

void QtSerialTransport::ApplyLines() {
  if (!port_.isOpen()) {
    return;  // applied when the port opens
  }
  // Fails on a pseudo-terminal, and RTS is the port's own under RTS/CTS
  // handshaking; neither is a fault.
  port_.setDataTerminalReady(dtr_);
  if (port_.flowControl() != QSerialPort::HardwareControl) {
    port_.setRequestToSend(rts_);
  }
  port_.clearError();
}

std::optional<ModemLines> QtSerialTransport::ReadModemLines() const {
  if (!port_.isOpen()) {
    return lastLines_;
  }
  // The error arrives through errorOccurred (OnError clears it at once), so
  // the failure is noted there.
  unsupportedOperation_ = false;
  const QSerialPort::PinoutSignals pins = port_.pinoutSignals();
  if (unsupportedOperation_) {
    return std::nullopt;
  }
  return ModemLines{pins.testFlag(QSerialPort::ClearToSendSignal),
                    pins.testFlag(QSerialPort::DataSetReadySignal)};
}

void QtSerialTransport::PollModemLines() {
  if (!port_.isOpen()) {
    return;
  }
  const std::optional<ModemLines> lines = ReadModemLines();
  if (!lines || lines == lastLines_) {
    return;
  }
  lastLines_ = lines;
  if (events_ != nullptr) {
    events_->OnModemLinesChanged(lines->cts, lines->dsr);
  }
}

void QtSerialTransport::OnReadyRead() {
  const QByteArray bytes = port_.readAll();
  if (events_ != nullptr && !bytes.isEmpty()) {
    events_->OnBytesReceived(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  }
}

void QtSerialTransport::OnError(QSerialPort::SerialPortError error) {
  std::optional<SerialFault> fault;
  bool portLost = false;
  switch (error) {
    case QSerialPort::UnsupportedOperationError:
      unsupportedOperation_ = true;
      break;
    case QSerialPort::ResourceError:  // adapter unplugged, simulator gone
    case QSerialPort::ReadError:      // a readable port that reads nothing: hung up
      // The read notifier would keep firing on a dead port; close it once.
      portLost = true;
      break;
    case QSerialPort::WriteError:
      // A write refused at once is Write()'s false; one that fails later,
      // when the buffered bytes go out, is the send fault.
      if (!writing_) fault = SerialFault::SendBufferFull;
      break;
    default:
      // Open failures are answered by Open(); unsupported line operations
      // (pseudo-terminals), time-outs and writes while closed are no faults.
      break;
  }
  if (error != QSerialPort::NoError) {
    port_.clearError();
  }
  if (portLost) {
    if (!port_.isOpen()) {
      return;  // already reported
    }
    Close();
    lastLines_ = ModemLines{false, false};
    if (events_ != nullptr) {
      events_->OnModemLinesChanged(false, false);
    }
  } else if (fault && events_ != nullptr) {
    events_->OnSerialFault(*fault);
  }
}

}  // namespace kv
