#include "qtedge/serial_port_lock.h"

#include "qtedge/latin1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QStringList>
#include <QSysInfo>
#include <cerrno>
#include <csignal>

namespace kv {
namespace {

// The folders QSerialPort looks at, in its order.
QStringList LockFolders() {
  return {QStringLiteral("/var/lock"),         QStringLiteral("/etc/locks"),
          QStringLiteral("/var/spool/locks"),  QStringLiteral("/var/spool/uucp"),
          QStringLiteral("/tmp"),              QStringLiteral("/var/tmp"),
          QStringLiteral("/var/lock/lockdev"), QStringLiteral("/run/lock"),
          QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
}

struct LockOwner {
  qint64 pid = 0;
  QString hostname;
};

// The owner named in the lock file; nothing for an empty or garbled one.
std::optional<LockOwner> ReadOwner(const QString& lockPath) {
  const QLockFile lock(lockPath);
  LockOwner owner;
  QString application;
  if (!lock.getLockInfo(&owner.pid, &owner.hostname, &application) || owner.pid <= 0) {
    return std::nullopt;
  }
  return owner;
}

bool OnThisMachine(const LockOwner& owner) {
  return owner.hostname.isEmpty() || owner.hostname == QSysInfo::machineHostName();
}

}  // namespace

QString SerialLockFilePath(const QString& systemLocation) {
  QString fileName = systemLocation.startsWith(QStringLiteral("/dev/")) ? systemLocation.mid(5)
                                                                          : systemLocation;
  fileName.replace(QLatin1Char('/'), QLatin1Char('_'));
  fileName.prepend(QStringLiteral("/LCK.."));
  for (const QString& folder : LockFolders()) {
    const QFileInfo folderInfo(folder);
    const QString path = folder + fileName;
    if (folderInfo.isReadable() && (QFile::exists(path) || folderInfo.isWritable())) return path;
  }
  return {};
}

bool ProcessRuns(qint64 pid) {
  if (pid <= 0) return false;
  if (::kill(static_cast<pid_t>(pid), 0) == -1 && errno == ESRCH) return false;
  // A killed process stays in the table until its parent reaps it.
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return true;
  const QByteArray line = stat.readAll();
  const qsizetype nameEnd = line.lastIndexOf(')');
  return nameEnd < 0 || nameEnd + 2 >= line.size() || line.at(nameEnd + 2) != 'Z';
}

std::optional<qint64> LiveLockHolder(const QString& lockPath) {
  const std::optional<LockOwner> owner = ReadOwner(lockPath);
  if (!owner || !OnThisMachine(*owner) || !ProcessRuns(owner->pid)) return std::nullopt;
  return owner->pid;
}

std::string LockHolderText(const QString& lockPath) {
  const std::optional<LockOwner> owner = ReadOwner(lockPath);
  if (!owner) return {};
  const std::string process = "process " + std::to_string(owner->pid);
  if (!OnThisMachine(*owner)) {
    return process + " on host " + ToLatin1(owner->hostname) +
           "; when nothing there uses the port, remove " + ToLatin1(lockPath);
  }
  return ProcessRuns(owner->pid) ? process : std::string();
}

bool RemoveStaleSerialLock(const QString& lockPath) {
  if (lockPath.isEmpty() || !QFile::exists(lockPath)) return false;
  const std::optional<LockOwner> owner = ReadOwner(lockPath);
  if (owner && (!OnThisMachine(*owner) || ProcessRuns(owner->pid))) return false;
  // QLockFile refuses to remove a lock its owner still holds (an owner that
  // has just created the file and not yet written it).
  QLockFile lock(lockPath);
  return lock.removeStaleLockFile();
}

}  // namespace kv
