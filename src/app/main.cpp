// KVMaintenance [--port DEVICE] [--data-dir DIR] [--demo] [--station FILE.kvd] | --help | --version
//   --port DEVICE   use this serial device instead of searching for the adapter
//   --data-dir DIR  the program folder (configuration, Backup, SerialLog.log)
//   --demo          start kvsim beside the program and connect to it
//   --station FILE  open station mode with FILE.kvd as the distributed file
//   -LOG            accepted for compatibility; it changes nothing
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSerialPortInfo>
#include <clocale>
#include <string_view>

#include "app/app_messages.h"
#include "app/demo_simulator.h"
#include "app/station_dialog.h"
#include "app/dialogs.h"
#include "app/frm_main.h"
#include "common/clock.h"
#include "common/messages.h"
#include "qtedge/adapter_port.h"
#include "qtedge/data_folder.h"
#include "qtedge/interrupt_watch.h"
#include "qtedge/latin1.h"
#include "qtedge/qt_serial_transport.h"

namespace {

QString Text(int id, const std::vector<std::string>& args = {}) {
  return kv::ToQString(kv::FormatMessage(id, args));
}

struct Options {
  QString port;
  QString dataDir;
  bool demo = false;
  QString station;  // open station mode with this distributed file
};

Options ParseCommandLine(const QCoreApplication& app) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("KORVIN Maintenance Data Loader"));
  parser.addHelpOption();
  parser.addVersionOption();
  // Single-dash words are long options, so that "-LOG" is one option.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption port(QStringLiteral("port"),
                                QStringLiteral("Serial device of the instrument's adapter."),
                                QStringLiteral("DEVICE"));
  const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                   QStringLiteral("Folder of the configuration, backups and log."),
                                   QStringLiteral("DIR"));
  const QCommandLineOption demo(QStringLiteral("demo"),
                                QStringLiteral("Connect to a simulated instrument (kvsim)."));
  const QCommandLineOption station(QStringLiteral("station"),
                                   QStringLiteral("Open station mode with this distributed file."),
                                   QStringLiteral("FILE.kvd"));
  QCommandLineOption log(QStringLiteral("LOG"), QStringLiteral("Accepted; has no effect."));
  log.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOptions({port, dataDir, demo, station, log});
  parser.process(app);
  return {parser.value(port), parser.value(dataDir), parser.isSet(demo), parser.value(station)};
}

// Help and version are answered without a window system (a terminal over
// SSH, a manual page generator): no QApplication is created for them.
bool AsksForHelpOrVersion(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "-?" || arg == "-v" || arg == "--help" || arg == "-help" ||
        arg == "--help-all" || arg == "--version" || arg == "-version") {
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName(QStringLiteral("KVMaintenance"));
  QCoreApplication::setApplicationVersion(QStringLiteral(KV_VERSION));
  if (AsksForHelpOrVersion(argc, argv)) {
    const QCoreApplication core(argc, argv);
    (void)ParseCommandLine(core);  // prints and exits; returns only when the word was an option's value
  }
  QApplication app(argc, argv);
  // Qt takes the user's locale; numbers keep "." as their decimal point
  // (FormatGasValue and the codecs use the C library).
  std::setlocale(LC_NUMERIC, "C");
  const Options options = ParseCommandLine(app);

  kv::QtDialogs dialogs;
  const QString title = Text(kv::msg::kProgramTitle);
  const std::optional<std::filesystem::path> dataFolder = kv::ResolveDataFolder(options.dataDir);
  if (!dataFolder) {
    dialogs.Critical(title, Text(kv::msg::kDataFolderUnavailable,
                                 {kv::ChooseDataFolder(options.dataDir).toStdString()}));
    return 1;
  }

  kv::DemoSimulator simulator;
  QString device = options.port;
  if (options.demo) {
    if (!simulator.Start(kv::DemoSimulator::BesideProgram(), kv::DemoSimulator::DemoArguments())) {
      dialogs.Critical(title, simulator.Error());
      return 1;
    }
    device = simulator.DevicePath();
  }

  kv::SystemClock clock;
  kv::QtSerialTransport port;
  kv::frmMainServices services;
  services.dataFolder = *dataFolder;
  services.dialogs = &dialogs;
  services.clock = &clock;
  services.transport = &port;
  // The device the user chose (or --port); empty: search for the adapter.
  QString chosenDevice = device;
  QString currentDevice;
  bool toldManyAdapters = false;  // the search asks again and again: tell once
  services.locateAdapter = [&port, &dialogs, &chosenDevice, &currentDevice, &toldManyAdapters] {
    if (!chosenDevice.isEmpty()) {
      currentDevice = chosenDevice;
      port.SetPortName(currentDevice);
      return true;
    }
    bool many = false;
    const std::optional<QString> found = kv::SelectAdapterPort(
        [&dialogs, &many, &toldManyAdapters](const QString& text, const QString& caption) {
          many = true;
          if (!toldManyAdapters) dialogs.Critical(caption, text);
        });
    toldManyAdapters = many;
    if (!found) return false;
    currentDevice = *found;
    port.SetPortName(currentDevice);
    return true;
  };
  services.portName = [&currentDevice] { return currentDevice; };
  services.listPorts = [] {
    QStringList ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) ports << info.systemLocation();
    return ports;
  };
  services.choosePort = [&chosenDevice](const QString& chosen) { chosenDevice = chosen; };

  kv::frmMain window(std::move(services));
  dialogs.SetParent(&window);
  // A signal ends the session as closing it would, without a question (a
  // running transaction is cancelled, an open dialog ends too); the port,
  // its lock and the simulator are released below.
  kv::InterruptWatch termination;
  termination.SetHandler([&window] {
    window.EndSession();
    QApplication::exit(0);
  });
  if (!window.Form_Load()) return 1;
  window.show();
  if (!options.station.isEmpty()) window.OpenStation()->SetFile(options.station);
  const int status = QApplication::exec();
  port.Close();
  simulator.Stop();
  return status;
}
