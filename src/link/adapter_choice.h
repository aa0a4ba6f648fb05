#pragma once
// Choosing the port of the USB infrared adapter among the serial ports of the
// machine: it is the port whose USB vendor and product ids are the adapter's.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

inline constexpr std::uint16_t kAdapterVendorId = 0x10C4;
inline constexpr std::uint16_t kAdapterProductId = 0xEA60;
inline constexpr std::string_view kAdapterErrorText = "IrDA Adapter has more than one is connected.";
inline constexpr std::string_view kAdapterErrorTitle = "IrDA Adapter Error";

struct SerialPortEntry {
  std::string systemLocation;  // the device path, e.g. /dev/ttyUSB0
  std::optional<std::uint16_t> vendorId;
  std::optional<std::uint16_t> productId;
};

struct AdapterChoice {
  std::optional<std::string> port;  // exactly one adapter: its device path
  bool moreThanOne = false;         // the user is told; no port is chosen
};

AdapterChoice ChooseAdapterPort(const std::vector<SerialPortEntry>& ports);

}  // namespace kv
