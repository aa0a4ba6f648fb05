#pragma once
// How kvmaint set names a setting of a maintenance file:
//   NAME                 a single setting: LcdBackLight, AlarmMode
//   CHANNEL.NAME         a channel setting; CHANNEL is ch1..ch7 or the
//                        channel's gas name: CO.Warning, ch4.Warning
//   NAME[N]              entry N (from 1) of a table: XS_[3]
//   NAME[N].high|.low    a PID field of entry N in one range: PIDWarn[2].low
// NAME is the record's accessor name, compared ignoring case. Failing these,
// a name as kvmaint prints it (setting_captions.h). All lookup is in
// ResolveSettingName.
#include <optional>
#include <string>
#include <string_view>

#include "model/instrument.h"
#include "model/instrument_settings.h"
#include "rules/edit_check.h"

namespace kv::cli {

struct NamedSetting {
  const SettingInfo* info = nullptr;  // the setting in the record's table
  rules::SettingRef ref;              // as the editing rules name it
  int tableIndex = 0;                 // the index SettingInfo's get and set take
};

// The setting `name` stands for in `record`, or nullopt with `error` saying why.
std::optional<NamedSetting> ResolveSettingName(std::string_view name, const clsInstrument& record,
                                               std::string* error);

// The help text describing the scheme above.
std::string SettingNameHelp();

}  // namespace kv::cli
