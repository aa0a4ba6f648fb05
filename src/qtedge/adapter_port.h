#pragma once
// Finds the USB infrared adapter among the serial ports of the machine.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kv {

// Shows an error to the user: the window uses a message box, the command
// line prints it.
using AdapterErrorReport = std::function<void(const QString& text, const QString& title)>;

// The device path of the only adapter (e.g. /dev/ttyUSB0). More than one:
// the error "IrDA Adapter has more than one is connected." titled "IrDA
// Adapter Error" goes to `report`, and no port. None: no port.
std::optional<QString> SelectAdapterPort(const AdapterErrorReport& report);

// The device path of every adapter plugged in now (station mode serves them
// all at once).
QStringList AllAdapterPorts();

}  // namespace kv
