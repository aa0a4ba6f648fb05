// Opening the serial transport: why it fails, through the transport's own
// check of the device, and that a lock left by a process that is gone never
// blocks the port.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QSysInfo>
#include <cerrno>
#include <fstream>

#include "pseudo_terminal.h"
#include "qtedge/qt_serial_transport.h"
#include "qtedge/serial_port_lock.h"

namespace kv {
namespace {

using test::PseudoTerminal;

// An open(2) that refuses with `error`, as it does for a user outside dialout.
DeviceOpenFunction Refusing(int error) {
  return [error](const char*, int) {
    errno = error;
    return -1;
  };
}

TEST(SerialOpen, FailuresSayWhy) {
  PseudoTerminal pty;
  ASSERT_TRUE(pty.Ok());
  const struct {
    const char* what;
    QString device;
    DeviceOpenFunction open;
    OpenFailure failure;
  } kCases[] = {
      {"missing device", QStringLiteral("/dev/kv-no-such-port"), SystemDeviceOpen(), OpenFailure::NoSuchDevice},
      {"not a terminal", QStringLiteral("/dev/null"), SystemDeviceOpen(), OpenFailure::NotSerialDevice},
      {"no permission", pty.Path(), Refusing(EACCES), OpenFailure::PermissionDenied},
      {"exclusive elsewhere", pty.Path(), Refusing(EBUSY), OpenFailure::InUse},
  };
  for (const auto& c : kCases) {
    QtSerialTransport port;
    port.SetPortName(c.device);
    port.SetDeviceOpen(c.open);
    const OpenResult result = port.Open();
    EXPECT_EQ(result.failure, c.failure) << c.what;
    EXPECT_EQ(result.port, c.device.toStdString()) << c.what;
    EXPECT_FALSE(port.IsOpen()) << c.what;
  }
}

TEST(SerialOpen, WithoutPermissionTheTextGivesTheDialoutHint) {
  PseudoTerminal pty;
  ASSERT_TRUE(pty.Ok());
  QtSerialTransport port;
  port.SetPortName(pty.Path());
  port.SetDeviceOpen(Refusing(EACCES));
  EXPECT_EQ(OpenFailureText(port.Open()),
            "cannot open the port " + pty.Path().toStdString() +
                ": permission denied (add yourself with: sudo usermod -aG dialout $USER, then log "
                "in again)");
}

// A lock file for a pseudo-terminal, removed again at the end.
class SerialLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.Ok());
    lockPath_ = SerialLockFilePath(pty_.Path());
    if (lockPath_.isEmpty()) GTEST_SKIP() << "no usable lock folder here";
    QFile::remove(lockPath_);
    port_.SetPortName(pty_.Path());
  }
  void TearDown() override {
    port_.Close();
    if (!lockPath_.isEmpty()) QFile::remove(lockPath_);
  }

  void WriteLock(const std::string& contents) {
    std::ofstream(lockPath_.toStdString(), std::ios::binary) << contents;
  }
  static std::string LockNaming(qint64 pid) {
    return std::to_string(pid) + "\nkvmaint\n" + QSysInfo::machineHostName().toStdString() + "\n";
  }

  PseudoTerminal pty_;
  QString lockPath_;
  QtSerialTransport port_;
};

TEST_F(SerialLockTest, PathFollowsTheDeviceName) {
  EXPECT_TRUE(lockPath_.endsWith(QStringLiteral("/LCK..") +
                                 pty_.Path().mid(5).replace(QLatin1Char('/'), QLatin1Char('_'))))
      << lockPath_.toStdString();
}

TEST_F(SerialLockTest, ALockWhoseOwnerIsGoneDoesNotBlock) {
  // A process id above the system's largest never runs.
  qint64 pidMax = 4194304;
  std::ifstream("/proc/sys/kernel/pid_max") >> pidMax;
  const struct {
    const char* what;
    std::string contents;
  } kCases[] = {
      {"empty (owner killed before writing it)", ""},
      {"garbled", "not a lock\n"},
      {"owner no longer exists", LockNaming(pidMax + 1)},
  };
  for (const auto& c : kCases) {
    WriteLock(c.contents);
    const OpenResult result = port_.Open();
    EXPECT_TRUE(result) << c.what << ": " << OpenFailureText(result);
    port_.Close();
    EXPECT_FALSE(QFile::exists(lockPath_)) << c.what << ": the port's own lock goes with it";
  }
}

TEST_F(SerialLockTest, ALockOfAKilledButUnreapedProcessDoesNotBlock) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(0);
  // Wait until it is a zombie, without reaping it.
  for (int i = 0; i < 500 && ProcessRuns(child); ++i) ::usleep(2000);
  ASSERT_FALSE(ProcessRuns(child));
  WriteLock(LockNaming(child));
  const OpenResult result = port_.Open();
  ::waitpid(child, nullptr, 0);
  EXPECT_TRUE(result) << OpenFailureText(result);
}

TEST_F(SerialLockTest, ALockHeldByARunningProgramSaysWhoHoldsIt) {
  QLockFile held(lockPath_);
  ASSERT_TRUE(held.tryLock(0));
  const OpenResult result = port_.Open();
  EXPECT_EQ(result.failure, OpenFailure::InUse);
  EXPECT_EQ(result.detail, "process " + std::to_string(QCoreApplication::applicationPid()));
  EXPECT_TRUE(QFile::exists(lockPath_)) << "a live lock is never removed";
  held.unlock();
  EXPECT_TRUE(port_.Open()) << "free again once released";
}

TEST_F(SerialLockTest, ALockNamingAnotherHostSaysWhoAndWhichFileToRemove) {
  WriteLock("4242\nkvmaint\nbench-pc-7\n");
  const OpenResult result = port_.Open();
  EXPECT_EQ(result.failure, OpenFailure::InUse);
  const std::string text = OpenFailureText(result);
  EXPECT_NE(text.find("process 4242 on host bench-pc-7"), std::string::npos) << text;
  EXPECT_NE(text.find("remove " + lockPath_.toStdString()), std::string::npos) << text;
  EXPECT_EQ(text.find("No error"), std::string::npos) << text;
  EXPECT_TRUE(QFile::exists(lockPath_)) << "another host's lock is never removed";
}

}  // namespace
}  // namespace kv
