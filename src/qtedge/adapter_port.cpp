#include "qtedge/adapter_port.h"

#include <QSerialPortInfo>
#include <vector>

#include "link/adapter_choice.h"
#include "qtedge/latin1.h"

namespace kv {

std::optional<QString> SelectAdapterPort(const AdapterErrorReport& report) {
  std::vector<SerialPortEntry> ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    SerialPortEntry entry;
    entry.systemLocation = info.systemLocation().toStdString();
    if (info.hasVendorIdentifier()) {
      entry.vendorId = info.vendorIdentifier();
    }
    if (info.hasProductIdentifier()) {
      entry.productId = info.productIdentifier();
    }
    ports.push_back(std::move(entry));
  }
  const AdapterChoice choice = ChooseAdapterPort(ports);
  if (choice.moreThanOne && report) {
    report(ToQString(kAdapterErrorText), ToQString(kAdapterErrorTitle));
  }
  if (!choice.port) {
    return std::nullopt;
  }
  return QString::fromStdString(*choice.port);
}

QStringList AllAdapterPorts() {
  QStringList ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    if (info.hasVendorIdentifier() && info.vendorIdentifier() == kAdapterVendorId &&
        info.hasProductIdentifier() && info.productIdentifier() == kAdapterProductId) {
      ports.append(info.systemLocation());
    }
  }
  return ports;
}

}  // namespace kv
