#pragma once
// The simulated instrument for "--demo": kvsim started beside the program,
// reached through the pseudo-terminal it names on its first line of output,
// and stopped with the window.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace kv {

class DemoSimulator {
 public:
  DemoSimulator() = default;
  ~DemoSimulator();
  DemoSimulator(const DemoSimulator&) = delete;
  DemoSimulator& operator=(const DemoSimulator&) = delete;

  // "kvsim" in the folder of the running program.
  static QString BesideProgram();

  // How the demo runs kvsim: replies paced as on the adapter's line, and
  // after Power OFF the instrument comes back on by itself a few seconds
  // later, so that the reconnection can be seen.
  static QStringList DemoArguments();

  // Starts `program` with `arguments` and waits up to `timeoutMs` for the
  // device path; false with `error` set when it did not come.
  bool Start(const QString& program, const QStringList& arguments, int timeoutMs = 5000);
  QString DevicePath() const { return devicePath_; }
  QString Error() const { return error_; }
  bool Running() const { return process_.state() != QProcess::NotRunning; }

  // Asks kvsim to stop, then kills it if it does not.
  void Stop();

 private:
  QProcess process_;
  QString devicePath_;
  QString error_;
};

}  // namespace kv
