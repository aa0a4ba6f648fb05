#pragma once
// Settings named as kvmaint prints them (show's single settings, diff,
// import-csv): "LCD Contrast(0-15)", "CO warning level", "User 7",
// "Conversion 3 factor", "PID 2 Low Range 1st". A channel setting also goes
// by its channel number or row caption: "ch4 warning level", "channel 4
// warning level", "STD4 warning level".
// Names compare ignoring case and runs of blanks.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/setting_names.h"

namespace kv::cli {

// The setting `name` stands for in `record`; nullopt when no printed name
// matches, or (with `ambiguity` saying so) when it names several settings.
std::optional<NamedSetting> ResolveSettingCaption(std::string_view name, const clsInstrument& record,
                                                  std::string* ambiguity);

// Up to `most` printed names close to `name`, the closest first.
std::vector<std::string> NearSettingCaptions(std::string_view name, const clsInstrument& record,
                                             std::size_t most);

}  // namespace kv::cli
