#include "app/setting_access.h"

#include <cmath>
#include <functional>
#include <string_view>
#include <unordered_map>

#include "app/grid_rules.h"

namespace kv {
namespace {

using rules::SettingRef;
using Reader = std::function<QVariant(const clsInstrument&, const SettingRef&)>;
using Writer = std::function<bool(clsInstrument&, const SettingRef&, const QVariant&)>;
struct Access {
  Reader read;
  Writer write;
};

QVariant TextValue(const Text& text) { return FromLatin1(text); }
Text TextOf(const QVariant& value) { return ToLatin1(value.toString()); }
template <class T>
T NumberOf(const QVariant& value) {
  if constexpr (std::is_floating_point_v<T>) {
    return static_cast<T>(value.toDouble());
  } else {
    return static_cast<T>(std::lround(value.toDouble()));
  }
}

// A setting with an index (channel, table entry): Name(i) and SetName(i, v).
template <class T, T (clsInstrument::*Get)(int) const, bool (clsInstrument::*Set)(int, T)>
Access Indexed() {
  return {[](const clsInstrument& r, const SettingRef& s) -> QVariant {
            if constexpr (std::is_same_v<T, Text>) {
              return TextValue((r.*Get)(s.index));
            } else {
              return QVariant::fromValue((r.*Get)(s.index));
            }
          },
          [](clsInstrument& r, const SettingRef& s, const QVariant& v) {
            if constexpr (std::is_same_v<T, Text>) {
              return (r.*Set)(s.index, TextOf(v));
            } else {
              return (r.*Set)(s.index, NumberOf<T>(v));
            }
          }};
}

// A PID setting of one entry and range.
template <class T, T (clsInstrument::*Get)(int, int) const,
          void (clsInstrument::*Set)(int, int, T)>
Access PidRanged() {
  return {[](const clsInstrument& r, const SettingRef& s) -> QVariant {
            if constexpr (std::is_same_v<T, Text>) {
              return TextValue((r.*Get)(s.index, s.range));
            } else {
              return QVariant::fromValue((r.*Get)(s.index, s.range));
            }
          },
          [](clsInstrument& r, const SettingRef& s, const QVariant& v) {
            if (!clsInstrument::ValidPid(s.index, s.range)) return false;
            if constexpr (std::is_same_v<T, Text>) {
              (r.*Set)(s.index, s.range, TextOf(v));
            } else {
              (r.*Set)(s.index, s.range, NumberOf<T>(v));
            }
            return true;
          }};
}

// A PID name of one entry (both ranges).
template <Text (clsInstrument::*Get)(int) const, void (clsInstrument::*Set)(int, Text)>
Access PidNamed() {
  return {[](const clsInstrument& r, const SettingRef& s) -> QVariant {
            return TextValue((r.*Get)(s.index));
          },
          [](clsInstrument& r, const SettingRef& s, const QVariant& v) {
            if (!clsInstrument::ValidPidEntry(s.index)) return false;
            (r.*Set)(s.index, TextOf(v));
            return true;
          }};
}

const std::unordered_map<std::string_view, Access>& Table() {
  using C = clsInstrument;
  static const std::unordered_map<std::string_view, Access> table = {
      {"GasName", Indexed<Text, &C::GasName, &C::SetGasName>()},
      {"G1_", Indexed<Text, &C::G1_, &C::SetG1_>()},
      {"FL_", Indexed<Long, &C::FL_, &C::SetFL_>()},
      {"CATOther",
       {[](const C& r, const SettingRef&) -> QVariant { return TextValue(r.CATOther()); },
        [](C& r, const SettingRef&, const QVariant& v) {
          r.SetCATOther(TextOf(v));
          return true;
        }}},
      {"HH_", Indexed<Integer, &C::HH_, &C::SetHH_>()},
      {"HE_", Indexed<Integer, &C::HE_, &C::SetHE_>()},
      {"RP_", Indexed<Integer, &C::RP_, &C::SetRP_>()},
      {"SI_", Indexed<Integer, &C::SI_, &C::SetSI_>()},
      {"AltRng", Indexed<Integer, &C::AltRng, &C::SetAltRng>()},
      {"Zero", Indexed<Integer, &C::Zero, &C::SetZero>()},
      {"ZeroForce", Indexed<Integer, &C::ZeroForce, &C::SetZeroForce>()},
      {"XS_", Indexed<Text, &C::XS_, &C::SetXS_>()},
      {"XZ_", Indexed<Text, &C::XZ_, &C::SetXZ_>()},
      {"XV_", Indexed<Integer, &C::XV_, &C::SetXV_>()},
      {"LO_name", Indexed<Text, &C::LO_name, &C::SetLO_name>()},
      {"LO_longname", Indexed<Text, &C::LO_longname, &C::SetLO_longname>()},
      {"LO_fc", Indexed<Integer, &C::LO_fc, &C::SetLO_fc>()},
      {"LA_warn", Indexed<Single, &C::LA_warn, &C::SetLA_warn>()},
      {"LA_alarm", Indexed<Single, &C::LA_alarm, &C::SetLA_alarm>()},
      {"LA_ratio", Indexed<Single, &C::LA_ratio, &C::SetLA_ratio>()},
      {"LA_volt", Indexed<Single, &C::LA_volt, &C::SetLA_volt>()},
      {"Warning", Indexed<Single, &C::Warning, &C::SetWarning>()},
      {"Alarm", Indexed<Single, &C::Alarm, &C::SetAlarm>()},
      {"Stel", Indexed<Single, &C::Stel, &C::SetStel>()},
      {"Twa", Indexed<Single, &C::Twa, &C::SetTwa>()},
      {"AutoCalib", Indexed<Single, &C::AutoCalib, &C::SetAutoCalib>()},
      {"PIDName", PidNamed<&C::PIDName, &C::SetPIDName>()},
      {"PIDLongName", PidNamed<&C::PIDLongName, &C::SetPIDLongName>()},
      {"PIDFullScale", PidRanged<Single, &C::PIDFullScale, &C::SetPIDFullScale>()},
      {"PIDPoint", PidRanged<Integer, &C::PIDPoint, &C::SetPIDPoint>()},
      {"PIDUnit", PidRanged<Text, &C::PIDUnit, &C::SetPIDUnit>()},
      {"PIDDigit", PidRanged<Single, &C::PIDDigit, &C::SetPIDDigit>()},
      {"PIDWarn", PidRanged<Single, &C::PIDWarn, &C::SetPIDWarn>()},
      {"PIDAlarm", PidRanged<Single, &C::PIDAlarm, &C::SetPIDAlarm>()},
      {"PIDStel", PidRanged<Single, &C::PIDStel, &C::SetPIDStel>()},
      {"PIDTwa", PidRanged<Single, &C::PIDTwa, &C::SetPIDTwa>()},
      {"PIDAutoCal", PidRanged<Single, &C::PIDAutoCal, &C::SetPIDAutoCal>()},
      {"PIDFactor", PidRanged<Single, &C::PIDFactor, &C::SetPIDFactor>()},
  };
  return table;
}

bool IsText(const QVariant& value) { return value.typeId() == QMetaType::QString; }

}  // namespace

QVariant ReadSetting(const clsInstrument& record, const rules::SettingRef& setting) {
  const auto found = Table().find(setting.name);
  return found != Table().end() ? found->second.read(record, setting) : QVariant();
}

bool WriteSetting(clsInstrument& record, const rules::SettingRef& setting, const QVariant& value) {
  const auto found = Table().find(setting.name);
  return found != Table().end() && found->second.write(record, setting, value);
}

bool SameSettingValue(const QVariant& grid, const QVariant& record) {
  if (IsText(record)) return grid.toString() == record.toString();
  // An empty entry stands for 0, as the instrument reads an empty field.
  return static_cast<float>(grid.toDouble()) == static_cast<float>(record.toDouble());
}

}  // namespace kv
