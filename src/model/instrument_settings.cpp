#include "model/instrument_settings.h"

#include <array>

namespace kv {
namespace {

constexpr int kCopiedChannels = 9;  // records 0..8; record 9 is never addressed

// Descriptor builders. Each names the getter, the setter and the flag once.
#define KV_SCALAR(Type, Name, Flag)                                              \
  SettingInfo {                                                                  \
    #Name, IndexKind::Scalar, 1,                                                 \
        [](const clsInstrument& r, int) { return SettingValue{r.Name()}; },      \
        [](clsInstrument& r, int, const SettingValue& v) {                       \
          r.Set##Name(std::get<Type>(v));                                        \
          return true;                                                           \
        },                                                                       \
        [](const clsInstrument& r, int) { return r.Flag(); }                     \
  }
#define KV_SCALAR_UNFLAGGED(Type, Name)                                          \
  SettingInfo {                                                                  \
    #Name, IndexKind::Scalar, 1,                                                 \
        [](const clsInstrument& r, int) { return SettingValue{r.Name()}; },      \
        [](clsInstrument& r, int, const SettingValue& v) {                       \
          r.Set##Name(std::get<Type>(v));                                        \
          return true;                                                           \
        },                                                                       \
        nullptr                                                                  \
  }
#define KV_INDEXED(Kind, Count, Type, Name, FlagExpr)                            \
  SettingInfo {                                                                  \
    #Name, Kind, Count,                                                          \
        [](const clsInstrument& r, int i) { return SettingValue{r.Name(i)}; },   \
        [](clsInstrument& r, int i, const SettingValue& v) {                     \
          return r.Set##Name(i, std::get<Type>(v));                              \
        },                                                                       \
        [](const clsInstrument& r, [[maybe_unused]] int i) { return FlagExpr; }  \
  }
#define KV_INDEXED_UNFLAGGED(Kind, Count, Type, Name)                            \
  SettingInfo {                                                                  \
    #Name, Kind, Count,                                                          \
        [](const clsInstrument& r, int i) { return SettingValue{r.Name(i)}; },   \
        [](clsInstrument& r, int i, const SettingValue& v) {                     \
          return r.Set##Name(i, std::get<Type>(v));                              \
        },                                                                       \
        nullptr                                                                  \
  }
#define KV_CHANNEL(Type, Name, Flag) \
  KV_INDEXED(IndexKind::Channel, kCopiedChannels, Type, Name, r.Flag(i))
#define KV_CHANNEL_UNFLAGGED(Type, Name) \
  KV_INDEXED_UNFLAGGED(IndexKind::Channel, kCopiedChannels, Type, Name)
#define KV_TABLE(Type, Name, Flag, Count) \
  KV_INDEXED(IndexKind::Table, Count, Type, Name, r.Flag(i))
#define KV_TABLE_UNFLAGGED(Type, Name, Count) \
  KV_INDEXED_UNFLAGGED(IndexKind::Table, Count, Type, Name)
#define KV_PID_RANGE(Type, Name)                                                 \
  SettingInfo {                                                                  \
    #Name, IndexKind::PidRange, kPidReachable * kPidRanges,                      \
        [](const clsInstrument& r, int i) { return SettingValue{r.Name(i / 2, i % 2)}; }, \
        [](clsInstrument& r, int i, const SettingValue& v) {                     \
          r.Set##Name(i / 2, i % 2, std::get<Type>(v));                          \
          return true;                                                           \
        },                                                                       \
        [](const clsInstrument& r, int i) { return r.Change_PIDSpec(i / 2, i % 2); } \
  }
#define KV_PID_NAME(Name)                                                        \
  SettingInfo {                                                                  \
    #Name, IndexKind::PidEntry, kPidReachable,                                   \
        [](const clsInstrument& r, int i) { return SettingValue{r.Name(i)}; },   \
        [](clsInstrument& r, int i, const SettingValue& v) {                     \
          r.Set##Name(i, std::get<Text>(v));                                     \
          return true;                                                           \
        },                                                                       \
        [](const clsInstrument& r, int i) { return r.Change_PIDName(i); }        \
  }

using I = clsInstrument;

const std::array kSettings = {
    // Identity and firmware.
    KV_SCALAR(Text, SerialNo, Change_SerialNo),
    KV_SCALAR(Text, DummySerial, Change_DummySerial),
    KV_SCALAR(Text, StationID, Change_StationID),
    KV_SCALAR(Text, UserID, Change_UserID),
    KV_SCALAR_UNFLAGGED(Long, RomNumber),
    KV_SCALAR_UNFLAGGED(Text, SUM),
    KV_SCALAR(Text, SpecType, Change_SpecType),
    KV_SCALAR_UNFLAGGED(Date, SysDate),
    KV_SCALAR_UNFLAGGED(Date, SysDateOffset),
    // Global settings.
    KV_SCALAR(Integer, AlarmMode, Change_AlarmMode),
    KV_SCALAR(bool, DispCalLimit, Change_DispCalLimit),
    KV_SCALAR(Integer, CalLimit, Change_CalLimit),
    KV_SCALAR(Integer, CalCheck, Change_CalCheck),
    KV_SCALAR(Integer, Intervals, Change_Interval),
    KV_SCALAR(bool, DispID, Change_DispID),
    KV_SCALAR(Integer, Confermation, Change_Confermation),
    KV_SCALAR(Integer, LogOverWrite, Change_LogOverWrite),
    KV_SCALAR(Integer, LunchBreak, Change_LunchBreak),
    KV_SCALAR(Integer, AlarmSilence, Change_AlarmSilence),
    KV_SCALAR(Integer, LcdBackLight, Change_LcdBackLight),
    KV_SCALAR(Integer, LcdContrast, Change_LcdContrast),
    KV_SCALAR(Integer, HcMode, Change_HCMode),
    KV_SCALAR(Integer, CurrHc, Change_CurrHc),
    KV_SCALAR(Integer, AlarmO2, Change_AlarmO2),
    KV_SCALAR(Integer, LogaClear, Change_logaClear),
    KV_SCALAR(Integer, LBMode, Change_LBmode),
    KV_SCALAR(Integer, BarHoleTime, Change_BarHoleTime),
    KV_SCALAR(Integer, LeakBeep, Change_LeakBeep),
    KV_SCALAR(Integer, IRRange, Change_IRRange),
    KV_SCALAR(Integer, UsePasswd, Change_UsePasswd),
    KV_SCALAR(Text, Password, Change_Password),
    KV_SCALAR(Integer, AutoZero, Change_AutoZero),
    KV_SCALAR(Integer, ConvFc, Change_ConvFc),
    KV_SCALAR(Integer, LogoDisp, Change_LogoDisp),
    KV_SCALAR(Integer, MEDisp, Change_MEDisp),
    KV_SCALAR(Integer, AliveDisp, Change_AliveDisp),
    KV_SCALAR(Integer, RemainTimeDisp, Change_RemainTimeDisp),
    KV_SCALAR(Integer, AFapDisp, Change_AFapDisp),
    KV_SCALAR(Integer, UIgasDisp, Change_UIgasDisp),
    KV_SCALAR(Integer, UWdateDisp, Change_UWdateDisp),
    KV_SCALAR(Text, BNuserLogoName, Change_BNuserLogoName),
    KV_SCALAR(Integer, Battery, Change_Battery),
    KV_SCALAR(Integer, DemandZero, Change_DemandZero),
    KV_SCALAR(Integer, DispSpanFc, Change_DispSpanFc),
    KV_SCALAR(Text, CATOther, Change_CATOther),
    KV_SCALAR(Text, TCOther, Change_TCOther),
    KV_SCALAR(Integer, CATOtherEV, Change_CATOtherEV),
    KV_SCALAR(Long, CATppm1st, Change_CATppm1),
    KV_SCALAR(Long, CATppm2nd, Change_CATppm2),
    KV_SCALAR(Single, CATvol1st, Change_CATvol1),
    KV_SCALAR(Single, CATvol2nd, Change_CATvol2),
    // Gas channel records.
    KV_CHANNEL(Text, GasName, Change_GasName),
    KV_CHANNEL(Single, GasDesit, Change_GasDesit),
    KV_CHANNEL(Integer, GasPoint, Change_GasPoint),
    KV_CHANNEL(Text, GasUnit, Change_GasUnit),
    KV_CHANNEL(Single, GasFullScale, Change_GasFullScale),
    KV_CHANNEL(bool, GasEnabled, Change_GasEnable),
    KV_INDEXED(IndexKind::Channel, kCopiedChannels, Integer, GasType, r.Change_GasType()),
    KV_CHANNEL(Single, Warning, Change_Warn),
    KV_CHANNEL(Single, Alarm, Change_Alarm),
    KV_CHANNEL(Single, Stel, Change_Stel),
    KV_CHANNEL(Single, Twa, Change_Twa),
    KV_CHANNEL(Single, AutoCalib, Change_AutoCal),
    KV_CHANNEL_UNFLAGGED(Date, CalibDate),
    KV_CHANNEL_UNFLAGGED(Single, CalibBefore),
    KV_CHANNEL_UNFLAGGED(Single, CalibAfter),
    KV_CHANNEL(Integer, Zero, Change_Zero),
    KV_CHANNEL(Integer, ZeroForce, Change_ZeroForce),
    KV_CHANNEL(Integer, PIDSmallRange, Change_PIDSmallRange),
    KV_CHANNEL_UNFLAGGED(Integer, AutoRange),
    KV_CHANNEL_UNFLAGGED(Single, changeDenst),
    KV_CHANNEL_UNFLAGGED(Single, IR_Hi_FullScale),
    KV_CHANNEL_UNFLAGGED(Integer, IR_Hi_Point),
    KV_CHANNEL_UNFLAGGED(Text, IR_Hi_Unit),
    KV_CHANNEL(Single, Ratio, Change_Ratio),
    KV_CHANNEL(Integer, AltRng, Change_AltRng),
    KV_CHANNEL_UNFLAGGED(Single, LogMax),
    KV_CHANNEL_UNFLAGGED(Single, LogMin),
    KV_CHANNEL_UNFLAGGED(Single, LogAvr),
    KV_CHANNEL_UNFLAGGED(Date, LogMaxDate),
    KV_CHANNEL_UNFLAGGED(Date, LogMinDate),
    // Tables and lists.
    KV_TABLE(Text, XS_, Change_XS_, I::kXS),
    KV_TABLE(Text, XZ_, Change_XZ_, I::kXZ),
    KV_TABLE(Integer, XV_, Change_XV_, I::kXV),
    KV_TABLE(Integer, UG_, Change_UG_, I::kUG),
    KV_TABLE(Long, FL_, Change_FL_, I::kFL),
    KV_TABLE(Text, G1_, Change_G1_, I::kG1),
    KV_TABLE(Text, LO_longname, Change_LO_, I::kLO),
    KV_TABLE(Text, LO_name, Change_LO_, I::kLO),
    KV_TABLE(Integer, LO_fc, Change_LO_, I::kLO),
    KV_TABLE(Text, LB_longname, Change_LB_, I::kLB),
    KV_TABLE(Text, LB_name, Change_LB_, I::kLB),
    KV_TABLE(Integer, LB_fc, Change_LB_, I::kLB),
    KV_SCALAR(Integer, LN_, Change_LN_),
    KV_TABLE(Single, LA_warn, Change_LA_, I::kLA),
    KV_TABLE(Single, LA_alarm, Change_LA_, I::kLA),
    KV_TABLE(Single, LA_ratio, Change_LA_, I::kLA),
    KV_TABLE(Single, LA_volt, Change_LA_, I::kLA),
    KV_TABLE(Integer, HH_, Change_HH_, I::kHH),
    KV_TABLE(Integer, HE_, Change_HE_, I::kHE),
    KV_TABLE(Integer, RP_, Change_RP_, I::kRP),
    KV_TABLE(Integer, SI_, Change_SI_, I::kSI),
    KV_TABLE_UNFLAGGED(Integer, SZ_, I::kSZ),
    KV_TABLE_UNFLAGGED(Integer, S1_, I::kS1),
    KV_TABLE_UNFLAGGED(Long, AnalogValue, I::kAnalog),
    KV_TABLE_UNFLAGGED(Single, LimitValue, I::kLimit),
    // PID sensor table.
    KV_PID_NAME(PIDLongName),
    KV_PID_NAME(PIDName),
    KV_PID_RANGE(Single, PIDFullScale),
    KV_PID_RANGE(Integer, PIDPoint),
    KV_PID_RANGE(Text, PIDUnit),
    KV_PID_RANGE(Single, PIDDigit),
    KV_PID_RANGE(Single, PIDWarn),
    KV_PID_RANGE(Single, PIDAlarm),
    KV_PID_RANGE(Single, PIDStel),
    KV_PID_RANGE(Single, PIDTwa),
    KV_PID_RANGE(Single, PIDAutoCal),
    KV_PID_RANGE(Single, PIDFactor),
};

}  // namespace

std::span<const SettingInfo> AllSettings() { return kSettings; }

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
