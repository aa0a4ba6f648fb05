#pragma once
// The lock file QSerialPort takes for a device (a QLockFile named
// "LCK..<device>" in the first usable lock folder, /var/lock on Linux).
//
// QLockFile takes a lock as stale only when the process named in it is gone;
// a lock file left empty (its owner killed between creating and writing it)
// or naming a process that is dead but not yet reaped counts as live until it
// is 30 s old. Such a lock must never keep the port blocked: it is removed
// before opening.
#include <QString>
#include <optional>
#include <string>

namespace kv {

// The lock file QSerialPort uses for `systemLocation` ("/dev/ttyUSB0" ->
// "/var/lock/LCK..ttyUSB0", "/dev/pts/3" -> "/var/lock/LCK..pts_3"); empty
// when no lock folder is usable.
QString SerialLockFilePath(const QString& systemLocation);

// The process holding the lock at `lockPath`, when one that still runs on
// this machine does.
std::optional<qint64> LiveLockHolder(const QString& lockPath);

// Who holds the lock at `lockPath`, for a message: "process 1234" for a live
// process here; for a lock naming another machine, which cannot be checked,
// "process 1234 on host NAME" and the lock file to remove when nobody uses
// the port there. Empty when nobody holds it.
std::string LockHolderText(const QString& lockPath);

// Removes the lock at `lockPath` when its owner is gone: the file is empty or
// unreadable, or names a process of this machine that no longer runs (or is
// a zombie). A lock whose owner still holds it is never removed. True when a
// lock was removed.
bool RemoveStaleSerialLock(const QString& lockPath);

// Whether process `pid` runs (a zombie does not).
bool ProcessRuns(qint64 pid);

}  // namespace kv
