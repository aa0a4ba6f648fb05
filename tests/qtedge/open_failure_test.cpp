// Why a port does not open, as the user reads it: the system's and
// QSerialPort's errors mapped to reasons, and the texts with the dialout hint.
#include <gtest/gtest.h>

#include <cerrno>

#include "link/transport.h"
#include "qtedge/port_open_check.h"

namespace kv {
namespace {

TEST(OpenFailure, SystemErrorsMapToReasons) {
  const struct {
    int error;
    OpenFailure failure;
  } kCases[] = {
      {ENOENT, OpenFailure::NoSuchDevice},    {ENODEV, OpenFailure::NoSuchDevice},
      {ENXIO, OpenFailure::NoSuchDevice},     {ENOTTY, OpenFailure::NotSerialDevice},
      {EISDIR, OpenFailure::NotSerialDevice}, {EACCES, OpenFailure::PermissionDenied},
      {EPERM, OpenFailure::PermissionDenied}, {EROFS, OpenFailure::PermissionDenied},
      {EBUSY, OpenFailure::InUse},            {EIO, OpenFailure::Other},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(OpenFailureFromErrno(c.error), c.failure) << "errno " << c.error;
  }
}

TEST(OpenFailure, SerialPortErrorsMapToReasons) {
  const struct {
    QSerialPort::SerialPortError error;
    OpenFailure failure;
  } kCases[] = {
      {QSerialPort::NoError, OpenFailure::None},
      {QSerialPort::DeviceNotFoundError, OpenFailure::NoSuchDevice},
      {QSerialPort::PermissionError, OpenFailure::PermissionDenied},
      {QSerialPort::OpenError, OpenFailure::InUse},
      {QSerialPort::UnsupportedOperationError, OpenFailure::NotSerialDevice},
      {QSerialPort::ResourceError, OpenFailure::Other},
      {QSerialPort::UnknownError, OpenFailure::Other},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(OpenFailureFromSerialError(c.error), c.failure) << "error " << c.error;
  }
}

TEST(OpenFailure, TextsNameThePortAndTheReason) {
  const struct {
    OpenResult result;
    const char* text;
  } kCases[] = {
      {OpenResult::Opened(), ""},
      {OpenResult::Failed(OpenFailure::NoSuchDevice, "No such file or directory", "/dev/ttyUSB0"),
       "cannot open the port /dev/ttyUSB0: no such device"},
      {OpenResult::Failed(OpenFailure::NotSerialDevice, {}, "/dev/null"),
       "cannot open the port /dev/null: not a serial device"},
      {OpenResult::Failed(OpenFailure::PermissionDenied, "Permission denied", "/dev/ttyUSB0"),
       "cannot open the port /dev/ttyUSB0: permission denied (add yourself with: sudo usermod -aG "
       "dialout $USER, then log in again)"},
      {OpenResult::Failed(OpenFailure::InUse, "process 4711", "/dev/ttyUSB0"),
       "cannot open the port /dev/ttyUSB0: in use by another program (process 4711)"},
      {OpenResult::Failed(OpenFailure::InUse, {}, "/dev/ttyUSB0"),
       "cannot open the port /dev/ttyUSB0: in use by another program"},
      {OpenResult::Failed(OpenFailure::Other, "Input/output error", "/dev/ttyS0"),
       "cannot open the port /dev/ttyS0: Input/output error"},
      {OpenResult::Failed(OpenFailure::Other, {}, "/dev/ttyS0"),
       "cannot open the port /dev/ttyS0: unknown error"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(OpenFailureText(c.result), c.text);
  }
}

TEST(OpenFailure, PortNamesBecomeDevicePaths) {
  EXPECT_EQ(SystemLocationOf(QStringLiteral("ttyUSB0")), "/dev/ttyUSB0");
  EXPECT_EQ(SystemLocationOf(QStringLiteral("/dev/pts/3")), "/dev/pts/3");
  EXPECT_EQ(SystemLocationOf(QStringLiteral("./port")), "./port");
}

}  // namespace
}  // namespace kv
