// kvmaint ports: the serial ports of the machine, the infrared adapter marked.
#include <QSerialPortInfo>

#include "cli/cli_io.h"
#include "cli/command.h"
#include "link/adapter_choice.h"

namespace kv::cli {
namespace {

bool IsAdapter(const QSerialPortInfo& port) {
  return port.hasVendorIdentifier() && port.hasProductIdentifier() &&
         port.vendorIdentifier() == kAdapterVendorId && port.productIdentifier() == kAdapterProductId;
}

class PortsCommand final : public Command {
 public:
  void Declare(QCommandLineParser&) override {}

  int Run(const QCommandLineParser&) override {
    std::string out;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
      out += Bytes(port.systemLocation());
      if (IsAdapter(port)) out += "\tinfrared adapter";
      out += '\n';
    }
    WriteStdout(out);
    return kExitOk;
  }
};

}  // namespace

KV_DEFINE_COMMAND(PortsCommand, .name = "ports", .arguments = "",
                    .summary = "List the serial ports, one a line; the infrared adapter is marked.",
                    .details = "", .group = CommandGroup::Instrument, .positionalArguments = 0)

}  // namespace kv::cli
