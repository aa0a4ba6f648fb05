#include "app/demo_simulator.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>

#ifdef __linux__
#include <csignal>

#include <sys/prctl.h>
#endif

namespace kv {

DemoSimulator::~DemoSimulator() { Stop(); }

QString DemoSimulator::BesideProgram() {
  return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kvsim"));
}

QStringList DemoSimulator::DemoArguments() {
  return {QStringLiteral("--baud"), QStringLiteral("921600"), QStringLiteral("--power-on-after"),
          QStringLiteral("3")};
}

bool DemoSimulator::Start(const QString& program, const QStringList& arguments, int timeoutMs) {
  Stop();
  devicePath_.clear();
  error_.clear();
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
#ifdef __linux__
  // kvsim follows the program when it ends without cleaning up (killed).
  process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
  process_.start(program, arguments);
  if (!process_.waitForStarted(timeoutMs)) {
    error_ = program + QStringLiteral(": ") + process_.errorString();
    return false;
  }
  // The device path is the first line kvsim prints.
  const QDeadlineTimer deadline(timeoutMs);
  while (!process_.canReadLine()) {
    if (deadline.hasExpired() || process_.state() == QProcess::NotRunning ||
        !process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
      if (process_.canReadLine()) break;
      error_ = program + QStringLiteral(": no device path");
      Stop();
      return false;
    }
  }
  devicePath_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
  if (devicePath_.isEmpty()) {
    error_ = program + QStringLiteral(": no device path");
    Stop();
    return false;
  }
  // Anything further on its output is drained so that kvsim never blocks on it.
  QObject::connect(&process_, &QProcess::readyReadStandardOutput, &process_,
                   [this] { process_.readAllStandardOutput(); });
  return true;
}

void DemoSimulator::Stop() {
  if (process_.state() == QProcess::NotRunning) return;
  constexpr int kGraceMs = 2000;
  process_.terminate();
  if (!process_.waitForFinished(kGraceMs)) {
    process_.kill();
    process_.waitForFinished(kGraceMs);
  }
}

}  // namespace kv
