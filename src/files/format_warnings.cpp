#include "files/format_warnings.h"

#include <array>

#include "common/messages.h"

namespace kv {
namespace {

// The mask whose character, "0" + 11, is the file's comment mark ";".
constexpr Integer kMaskWrittenAsComment = 11;

constexpr std::array<const char*, kSensorChannels> kSlotNames = {"STD1", "STD2", "STD3", "STD4",
                                                                 "OPT1", "OPT2", "OPT3"};

// The value a decimal field reads back as when the reader takes it as hexadecimal.
int ReadBackAsHexadecimal(int value) { return (value / 10) * 16 + value % 10; }

}  // namespace

std::vector<std::string> MaintenanceFileWarnings(const clsInstrument& r) {
  std::vector<std::string> notes;
  for (int k = 0; k < kSensorChannels; ++k) {
    const std::string slot = kSlotNames[static_cast<std::size_t>(k)];
    if (r.UG_(k) == kMaskWrittenAsComment) {
      notes.push_back(FormatMessage(msg::kMappingNotFileable, {slot}));
    }
    const Integer type = r.GasType(k);
    if (type >= 10 && type <= 15) {
      notes.push_back(FormatMessage(msg::kGasTypeNotFileable,
                                    {slot, std::to_string(type),
                                     std::to_string(ReadBackAsHexadecimal(type))}));
    }
  }
  return notes;
}

}  // namespace kv
