#include "link/adapter_choice.h"

namespace kv {

AdapterChoice ChooseAdapterPort(const std::vector<SerialPortEntry>& ports) {
  AdapterChoice choice;
  int found = 0;
  for (const SerialPortEntry& entry : ports) {
    if (entry.vendorId == kAdapterVendorId && entry.productId == kAdapterProductId) {
      ++found;
      choice.port = entry.systemLocation;
    }
  }
  if (found > 1) {
    choice.port.reset();
    choice.moreThanOne = true;
  }
  return choice;
}

}  // namespace kv
