#include "qtedge/port_open_check.h"

#include <QFile>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace kv {

DeviceOpenFunction SystemDeviceOpen() {
  return [](const char* path, int flags) { return ::open(path, flags); };
}

DeviceCheck::DeviceCheck(const QString& systemLocation, const DeviceOpenFunction& open) {
  const QByteArray path = QFile::encodeName(systemLocation);
  descriptor_ = open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor_ < 0) {
    const int error = errno;
    result_ = OpenResult::Failed(OpenFailureFromErrno(error), std::strerror(error));
  } else if (::isatty(descriptor_) == 0) {
    result_ = OpenResult::Failed(OpenFailure::NotSerialDevice);
  }
}

DeviceCheck::~DeviceCheck() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

OpenFailure OpenFailureFromSerialError(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::NoError:
      return OpenFailure::None;
    case QSerialPort::DeviceNotFoundError:
      return OpenFailure::NoSuchDevice;
    case QSerialPort::PermissionError:
      return OpenFailure::PermissionDenied;
    case QSerialPort::OpenError:  // already open in this program
      return OpenFailure::InUse;
    case QSerialPort::UnsupportedOperationError:  // no terminal settings
      return OpenFailure::NotSerialDevice;
    default:
      return OpenFailure::Other;
  }
}

QString SystemLocationOf(const QString& nameOrPath) {
  const bool isPath = nameOrPath.startsWith(QLatin1Char('/')) || nameOrPath.startsWith(QStringLiteral("./")) ||
                      nameOrPath.startsWith(QStringLiteral("../"));
  return isPath ? nameOrPath : QStringLiteral("/dev/") + nameOrPath;
}

}  // namespace kv
