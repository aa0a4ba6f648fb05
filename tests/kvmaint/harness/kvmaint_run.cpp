#include "kvmaint/harness/kvmaint_run.h"

#include <QGuiApplication>
#include <QStringList>
#include <cstdlib>
#include <sstream>

#include "cli/cli_io.h"
#include "cli/cli_main.h"
#include "kvmaint/harness/in_process_sim.h"
#include "kvmaint/harness/virtual_session.h"
#include "support/temp_folder.h"

namespace kv::inproc {
void PrepareProcess() {
  // An application made by the test itself, if any, is used as it is. Ours
  // lives to the process's end: destroyed among the exit handlers, after
  // Qt's own globals, it would crash.
  if (QCoreApplication::instance() == nullptr) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kvmaint";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvmaint"));
  }
  static const testsupport::TempFolder home("kvhome");
  if (std::getenv("KVMAINTENANCE_HOME") == nullptr) ::setenv("KVMAINTENANCE_HOME", home.Path().c_str(), 1);
}

ProgramResult Kvmaint(const std::vector<std::string>& args, const RunSetup& setup) {
  PrepareProcess();
  std::ostringstream out;
  std::ostringstream err;
  std::istringstream in(setup.input);
  RunLimits limits;
  limits.interruptAfterMs = setup.interruptAfterMs;
  cli::CliContext context;
  context.out = &out;
  context.err = &err;
  context.in = &in;
  context.stdinTerminal = setup.stdinTerminal;
  context.stderrTerminal = setup.stderrTerminal;
  context.historyTimings = setup.historyTimings;
  context.recorder = setup.recorder;
  context.makeSession = [&limits](const cli::LinkOptions& options) -> std::unique_ptr<cli::SessionServices> {
    return std::make_unique<VirtualSession>(Simulator::Find(cli::Bytes(options.port)), limits);
  };
  // As the process's own arguments reach kvmaint: decoded from the locale.
  QStringList arguments{QStringLiteral("kvmaint")};
  for (const std::string& arg : args) arguments.append(QString::fromLocal8Bit(arg));
  ProgramResult result;
  result.exitCode = cli::RunKvmaint(arguments, context);
  result.timedOut = limits.timedOut;
  result.out = out.str();
  result.err = err.str();
  return result;
}

const std::string& SimulatorSettingsFile() {
  static testsupport::TempFolder dir;
  static const std::string path = [] {
    const std::string file = dir.File("read.kvd");
    Simulator sim;
    if (sim.Device().empty()) return std::string();
    const ProgramResult read = Kvmaint({"get", "--port", sim.Device(), "--output", file});
    return read.exitCode == 0 ? file : std::string();
  }();
  return path;
}

}  // namespace kv::inproc
