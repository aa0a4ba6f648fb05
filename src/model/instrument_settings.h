#pragma once
// A table of every setting of the record, so that copying, comparing and
// listing settings is one loop instead of three hundred statements.
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "model/instrument.h"

namespace kv {

using SettingValue = std::variant<bool, Integer, Long, Single, Date, Text>;

enum class IndexKind {
  Scalar,    // one value, index 0
  Channel,   // gas channel record 0..8
  Table,     // table index 0..count-1
  PidEntry,  // PID entry 0..16
  PidRange,  // PID entry and range, flattened as entry * 2 + range
};

struct SettingInfo {
  std::string_view name;
  IndexKind kind;
  int count;  // indexes 0..count-1
  SettingValue (*get)(const clsInstrument&, int index);
  bool (*set)(clsInstrument&, int index, const SettingValue&);
  bool (*changed)(const clsInstrument&, int index);  // nullptr: the setting has no flag
  // The name the main window shows: "%s" stands for the channel's gas name,
  // "%d" for the 1-based entry (PID range fields: entry and range are added).
  std::string_view caption;
};

// Every setting the grids, files and instrument exchange, in record order.
// The owner's free fields (Key, MessageString, FailLine, CommFlags,
// ImportFlag) are not settings and are not listed.
std::span<const SettingInfo> AllSettings();

// A setting's display name for one index, with the channel's gas name (as
// `record` holds it) or the 1-based entry filled in: "CO warning level",
// "User 7", "PID 4 High Range 1st".
std::string SettingCaption(const SettingInfo& setting, const clsInstrument& record, int index);

// Copies every setting of src into dst through dst's setters (raising dst's
// flags), or with onlyChanged only those whose change flag is set in src;
// then recomputes dst's ratio channels. Validity flags are not copied.
void CopyInstrument(clsInstrument& dst, const clsInstrument& src, bool onlyChanged);

}  // namespace kv
