#include "model/instrument_settings.h"

#include <array>
#include <string>
#include <string_view>

namespace kv {
namespace {

constexpr int kCopiedChannels = 9;  // records 0..8; record 9 is never addressed

// Descriptor builders. Each names the getter, the setter and the flag once.
#define KV_SCALAR(Type, Name, Flag, Caption)                                     \
  SettingInfo {                                                                  \
    #Name, IndexKind::Scalar, 1,                                                 \
        [](const clsInstrument& r, int) { return SettingValue{r.Name()}; },      \
        [](clsInstrument& r, int, const SettingValue& v) {                       \
          r.Set##Name(std::get<Type>(v));                                        \
          return true;                                                           \
        },                                                                       \
        [](const clsInstrument& r, int) { return r.Flag(); }, Caption            \
  }
#define KV_SCALAR_UNFLAGGED(Type, Name, Caption)                                 \
  SettingInfo {                                                                  \
    #Name, IndexKind::Scalar, 1,                                                 \
        [](const clsInstrument& r, int) { return SettingValue{r.Name()}; },      \
        [](clsInstrument& r, int, const SettingValue& v) {                       \
          r.Set##Name(std::get<Type>(v));                                        \
          return true;                                                           \
        },                                                                       \
        nullptr, Caption                                                         \
  }
#define KV_INDEXED(Kind, Count, Type, Name, FlagExpr, Caption)                   \
  SettingInfo {                                                                  \
    #Name, Kind, Count,                                                          \
        [](const clsInstrument& r, int i) { return SettingValue{r.Name(i)}; },   \
        [](clsInstrument& r, int i, const SettingValue& v) {                     \
          return r.Set##Name(i, std::get<Type>(v));                              \
        },                                                                       \
        [](const clsInstrument& r, [[maybe_unused]] int i) { return FlagExpr; }, \
        Caption                                                                  \
  }
#define KV_INDEXED_UNFLAGGED(Kind, Count, Type, Name, Caption)                   \
  SettingInfo {                                                                  \
    #Name, Kind, Count,                                                          \
        [](const clsInstrument& r, int i) { return SettingValue{r.Name(i)}; },   \
        [](clsInstrument& r, int i, const SettingValue& v) {                     \
          return r.Set##Name(i, std::get<Type>(v));                              \
        },                                                                       \
        nullptr, Caption                                                         \
  }
// Row adapters: each turns one row of model/instrument_rows.h into an entry.
#define KV_GLOBAL_ROW(Type, Name, Flag, Initial, OnClear, Caption) \
  KV_SCALAR(Type, Name, Flag, Caption),
#define KV_CHANNEL_ROW(Type, Name, Flag, OnSubBoard, Caption) \
  KV_INDEXED(IndexKind::Channel, kCopiedChannels, Type, Name, r.Flag(i), Caption),
#define KV_CHANNEL_VALUE_ROW(Type, Name, Caption) \
  KV_INDEXED_UNFLAGGED(IndexKind::Channel, kCopiedChannels, Type, Name, Caption),
#define KV_TABLE_ROW(Type, Name, Storage, Member, Size, Flag, Caption) \
  KV_INDEXED(IndexKind::Table, I::Size, Type, Name, r.Flag(i), Caption),
#define KV_PLAIN_TABLE_ROW(Type, Name, Storage, Size, Caption) \
  KV_INDEXED_UNFLAGGED(IndexKind::Table, I::Size, Type, Name, Caption),
#define KV_PID_ROW(Type, Name, Caption) KV_PID_RANGE(Type, Name, Caption),
#define KV_PID_RANGE(Type, Name, Caption)                                        \
  SettingInfo {                                                                  \
    #Name, IndexKind::PidRange, kPidReachable * kPidRanges,                      \
        [](const clsInstrument& r, int i) { return SettingValue{r.Name(i / 2, i % 2)}; }, \
        [](clsInstrument& r, int i, const SettingValue& v) {                     \
          r.Set##Name(i / 2, i % 2, std::get<Type>(v));                          \
          return true;                                                           \
        },                                                                       \
        [](const clsInstrument& r, int i) { return r.Change_PIDSpec(i / 2, i % 2); }, \
        Caption                                                                  \
  }
#define KV_PID_NAME(Name, Caption)                                               \
  SettingInfo {                                                                  \
    #Name, IndexKind::PidEntry, kPidReachable,                                   \
        [](const clsInstrument& r, int i) { return SettingValue{r.Name(i)}; },   \
        [](clsInstrument& r, int i, const SettingValue& v) {                     \
          r.Set##Name(i, std::get<Text>(v));                                     \
          return true;                                                           \
        },                                                                       \
        [](const clsInstrument& r, int i) { return r.Change_PIDName(i); }, Caption \
  }

using I = clsInstrument;

const std::array kSettings = {
    // Identity and firmware.
    KV_SCALAR(Text, SerialNo, Change_SerialNo, "Serial number"),
    KV_SCALAR(Text, DummySerial, Change_DummySerial, "Manufacture number"),
    KV_SCALAR(Text, StationID, Change_StationID, "Station ID"),
    KV_SCALAR(Text, UserID, Change_UserID, "User ID"),
    KV_SCALAR_UNFLAGGED(Long, RomNumber, "Firmware number"),
    KV_SCALAR_UNFLAGGED(Text, SUM, "Firmware checksum"),
    KV_SCALAR_UNFLAGGED(Date, SysDate, "Instrument clock"),
    KV_SCALAR_UNFLAGGED(Date, SysDateOffset, "Clock offset"),
    KV_SCALAR(Integer, Intervals, Change_Interval, "Logging interval(sec)"),
    // Global settings, gas channel records, tables and lists, PID table.
    KV_GLOBAL_SETTINGS(KV_GLOBAL_ROW)
    KV_CHANNEL_SETTINGS(KV_CHANNEL_ROW)
    KV_INDEXED(IndexKind::Channel, kCopiedChannels, Integer, GasType, r.Change_GasType(),
               "%s sensor type"),
    KV_CHANNEL_VALUES(KV_CHANNEL_VALUE_ROW)
    KV_TABLE_FIELDS(KV_TABLE_ROW)
    KV_PLAIN_TABLES(KV_PLAIN_TABLE_ROW)
    KV_PID_NAME(PIDLongName, "Long Name"),
    KV_PID_NAME(PIDName, "Name"),
    KV_PID_FIELDS(KV_PID_ROW)
};

// The name a channel goes by: the fixed sensors by their fixed names, the
// others by their gas name, or by their slot when they have none.
std::string ChannelName(const clsInstrument& record, int channel) {
  constexpr std::array<std::string_view, kCopiedChannels> kSlots{
      "STD1", "OXY", "H2S", "CO", "OPT1", "OPT2", "OPT3", "CAT ppm", "CAT vol%"};
  if (channel < 0 || channel >= kCopiedChannels) return "Channel " + std::to_string(channel + 1);
  const std::string slot(kSlots[static_cast<std::size_t>(channel)]);
  const bool named = channel == 0 || (channel >= 4 && channel <= 6);
  const std::string name = named ? record.GasName(channel) : std::string();
  const auto first = name.find_first_not_of(' ');
  if (first == std::string::npos) return slot;
  return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

void ReplaceFirst(std::string& text, std::string_view marker, const std::string& by) {
  const auto at = text.find(marker);
  if (at != std::string::npos) text.replace(at, marker.size(), by);
}

}  // namespace

std::span<const SettingInfo> AllSettings() { return kSettings; }

std::string SettingCaption(const SettingInfo& setting, const clsInstrument& record, int index) {
  std::string caption(setting.caption);
  switch (setting.kind) {
    case IndexKind::Scalar:
      break;
    case IndexKind::Channel:
      ReplaceFirst(caption, "%s", ChannelName(record, index));
      break;
    case IndexKind::Table:
      ReplaceFirst(caption, "%d", std::to_string(index + 1));
      break;
    case IndexKind::PidEntry:
      caption = "PID " + std::to_string(index + 1) + " " + caption;
      break;
    case IndexKind::PidRange:
      caption = "PID " + std::to_string(index / kPidRanges + 1) +
                (index % kPidRanges == 0 ? " High Range " : " Low Range ") + caption;
      break;
  }
  // Some grid captions end in a blank; a printed name does not.
  while (!caption.empty() && caption.back() == ' ') caption.pop_back();
  return caption;
}

void CopyInstrument(clsInstrument& dst, const clsInstrument& src, bool onlyChanged) {
  for (const SettingInfo& setting : kSettings) {
    if (onlyChanged && setting.changed == nullptr) continue;
    for (int i = 0; i < setting.count; ++i) {
      if (onlyChanged && !setting.changed(src, i)) continue;
      // Both records share one layout, so an index valid in src is valid in dst.
      [[maybe_unused]] const bool stored = setting.set(dst, i, setting.get(src, i));
    }
  }
  SetRatioChannels(dst);
}

}  // namespace kv
