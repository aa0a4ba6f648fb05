#include "link/write_groups.h"

#include "protocol/write_lines.h"

namespace kv {
namespace {

using GlobalFlag = bool (clsInstrument::*)() const;
using GlobalFlagSetter = void (clsInstrument::*)(bool);
using IndexedFlag = bool (clsInstrument::*)(int) const;
using IndexedFlagSetter = void (clsInstrument::*)(int, bool);
using LineOf = std::string (*)(const clsInstrument&);
using EntryLineOf = std::string (*)(const clsInstrument&, int);

constexpr int kLastChannel = kSensorChannels - 1;
// Full scale, resolution, unit and name are written for these channels only:
// the fixed sensors' values are the instrument's own.
constexpr int kSelectableChannels[] = {0, 4, 5, 6};

bool AnyOf(const clsInstrument& r, IndexedFlag flag, int first, int last) {
  for (int i = first; i <= last; ++i) {
    if ((r.*flag)(i)) return true;
  }
  return false;
}

bool AnySelectable(const clsInstrument& r, IndexedFlag flag) {
  for (const int ch : kSelectableChannels) {
    if ((r.*flag)(ch)) return true;
  }
  return false;
}

void ClearRange(clsInstrument& r, IndexedFlagSetter setFlag, int first, int last) {
  for (int i = first; i <= last; ++i) {
    (r.*setFlag)(i, false);
  }
}

// One line when one flag is set.
template <GlobalFlag Flag, GlobalFlagSetter SetFlag, LineOf Build>
constexpr WriteGroup OnFlag(std::string_view code) {
  return {code, 1, [](const clsInstrument& r, int, bool) { return (r.*Flag)(); },
          [](const clsInstrument& r, int) { return Build(r); },
          [](clsInstrument& r, int) { (r.*SetFlag)(false); }};
}

// One line when the flag of any sensor channel is set; clears all seven.
template <IndexedFlag Flag, IndexedFlagSetter SetFlag, LineOf Build>
constexpr WriteGroup OnAnyChannel(std::string_view code) {
  return {code, 1,
          [](const clsInstrument& r, int, bool) { return AnyOf(r, Flag, 0, kLastChannel); },
          [](const clsInstrument& r, int) { return Build(r); },
          [](clsInstrument& r, int) { ClearRange(r, SetFlag, 0, kLastChannel); }};
}

// The same, looking only at the selectable channels.
template <IndexedFlag Flag, IndexedFlagSetter SetFlag, LineOf Build>
constexpr WriteGroup OnAnySelectable(std::string_view code) {
  return {code, 1, [](const clsInstrument& r, int, bool) { return AnySelectable(r, Flag); },
          [](const clsInstrument& r, int) { return Build(r); },
          [](clsInstrument& r, int) { ClearRange(r, SetFlag, 0, kLastChannel); }};
}

bool NoGate(const clsInstrument&) { return true; }
template <GlobalFlag Invalid>
bool ValidForm(const clsInstrument& r) {
  return !(r.*Invalid)();
}

// One line per flagged table entry, while the instrument takes the table.
template <IndexedFlag Flag, IndexedFlagSetter SetFlag, EntryLineOf Build,
          bool (*Gate)(const clsInstrument&)>
constexpr WriteGroup PerFlaggedEntry(std::string_view code, int entries) {
  return {code, entries,
          [](const clsInstrument& r, int i, bool) { return Gate(r) && (r.*Flag)(i); }, Build,
          [](clsInstrument& r, int i) { (r.*SetFlag)(i, false); }};
}

#define KV_ON_FLAG(CODE, FLAG) \
  OnFlag<&clsInstrument::FLAG, &clsInstrument::Set##FLAG, WriteLine##CODE>(#CODE)
#define KV_ON_CHANNEL(CODE, FLAG) \
  OnAnyChannel<&clsInstrument::FLAG, &clsInstrument::Set##FLAG, WriteLine##CODE>(#CODE)
#define KV_ON_SELECTABLE(CODE, FLAG) \
  OnAnySelectable<&clsInstrument::FLAG, &clsInstrument::Set##FLAG, WriteLine##CODE>(#CODE)
#define KV_PER_ENTRY(CODE, FLAG, GATE, ENTRIES)                                   \
  PerFlaggedEntry<&clsInstrument::FLAG, &clsInstrument::Set##FLAG, WriteLine##CODE, \
                  GATE>(#CODE, ENTRIES)

constexpr int kUserListEntries = 32;
constexpr int kStationListEntries = 128;
constexpr int kLongNameEntries = 6;
constexpr int kOlderLongNameEntries = 5;  // an older instrument has no sixth long name
constexpr int kUserConversionEntries = 5;
constexpr int kPreDefinedConversionEntries = 30;
constexpr int kMethaneLevelEntries = 35;
constexpr int kPidTableEntries = kPidReachable;
constexpr int kHighRange = 0;
constexpr int kLowRange = 1;

bool PidTablesTaken(const clsInstrument& r) { return !r.invalidLJ() && !r.invalidLI(); }

const WriteGroup kWriteGroups[] = {
    KV_PER_ENTRY(XZ, Change_XZ_, NoGate, kUserListEntries),
    KV_PER_ENTRY(XS, Change_XS_, NoGate, kStationListEntries),
    KV_ON_FLAG(IN, Change_SerialNo),
    KV_ON_FLAG(HN, Change_DummySerial),
    {"US", 1,
     [](const clsInstrument& r, int, bool) {
       return AnyOf(r, &clsInstrument::Change_ZeroForce, 0, kLastChannel);
     },
     [](const clsInstrument& r, int) { return WriteLineUS(r, WriteTarget::Wire); },
     [](clsInstrument& r, int) {
       ClearRange(r, &clsInstrument::SetChange_ZeroForce, 0, kLastChannel);
     }},
    KV_ON_FLAG(AP, Change_AlarmMode),
    KV_ON_FLAG(XP, Change_Interval),
    KV_ON_FLAG(XI, Change_DispID),
    KV_ON_FLAG(SD, Change_DispCalLimit),
    KV_ON_FLAG(SM, Change_CalCheck),
    KV_ON_FLAG(SC, Change_CalLimit),
    KV_ON_FLAG(XL, Change_LunchBreak),
    KV_ON_FLAG(XA, Change_AlarmSilence),
    KV_ON_FLAG(XB, Change_Confermation),
    KV_ON_FLAG(XW, Change_LogOverWrite),
    KV_ON_FLAG(XT, Change_LcdBackLight),
    KV_ON_FLAG(UL, Change_LcdContrast),
    KV_ON_FLAG(IT, Change_GasType),
    KV_ON_CHANNEL(A1, Change_Warn),
    KV_ON_CHANNEL(A2, Change_Alarm),
    KV_ON_CHANNEL(AS, Change_Stel),
    KV_ON_CHANNEL(AW, Change_Twa),
    {"WB", 1,
     [](const clsInstrument& r, int, bool) {
       return !r.invalidWB() &&
              (r.Change_LBmode() || r.Change_BarHoleTime() || r.Change_LeakBeep());
     },
     [](const clsInstrument& r, int) { return WriteLineWB(r); },
     [](clsInstrument& r, int) {
       r.SetChange_LBmode(false);
       r.SetChange_BarHoleTime(false);
       r.SetChange_LeakBeep(false);
     }},
    KV_ON_CHANNEL(SA, Change_AutoCal),
    KV_ON_CHANNEL(UZ, Change_Zero),
    KV_ON_FLAG(AT, Change_AlarmO2),
    KV_ON_CHANNEL(GP, Change_GasPoint),
    KV_ON_SELECTABLE(GF, Change_GasFullScale),
    KV_ON_SELECTABLE(GD, Change_GasDesit),
    KV_ON_SELECTABLE(GU, Change_GasUnit),
    KV_ON_CHANNEL(UG, Change_UG_),
    KV_ON_FLAG(UJ, Change_SpecType),
    {"LP", 1,
     [](const clsInstrument& r, int, bool) {
       return !r.invalidLP() && (r.Change_HCMode() || r.Change_CurrHc());
     },
     [](const clsInstrument& r, int) { return WriteLineLP(r); },
     [](clsInstrument& r, int) {
       r.SetChange_HCMode(false);
       r.SetChange_CurrHc(false);
     }},
    KV_ON_FLAG(XC, Change_logaClear),
    {"AC", 1,
     [](const clsInstrument& r, int, bool) {
       return r.Change_CATppm1() || r.Change_CATppm2() || r.Change_CATvol1() || r.Change_CATvol2();
     },
     [](const clsInstrument& r, int) { return WriteLineAC(r); },
     [](clsInstrument& r, int) {
       r.SetChange_CATppm1(false);
       r.SetChange_CATppm2(false);
       r.SetChange_CATvol1(false);
       r.SetChange_CATvol2(false);
     }},
    {"HH", 1,
     [](const clsInstrument& r, int, bool) { return AnyOf(r, &clsInstrument::Change_HH_, 0, 1); },
     [](const clsInstrument& r, int) { return WriteLineHH(r); },
     [](clsInstrument& r, int) { ClearRange(r, &clsInstrument::SetChange_HH_, 0, 1); }},
    {"HE", 1,
     [](const clsInstrument& r, int, bool) {
       return !r.invalidHE_() && AnyOf(r, &clsInstrument::Change_HE_, 0, 2);
     },
     [](const clsInstrument& r, int) { return WriteLineHE(r); },
     [](clsInstrument& r, int) { ClearRange(r, &clsInstrument::SetChange_HE_, 0, 2); }},
    KV_ON_FLAG(SJ, Change_AutoZero),
    KV_ON_FLAG(LF, Change_ConvFc),
    KV_ON_FLAG(UV, Change_LogoDisp),
    {"XE", 1,
     [](const clsInstrument& r, int, bool) { return r.Change_MEDisp() || r.Change_AliveDisp(); },
     [](const clsInstrument& r, int) { return WriteLineXE(r); },
     [](clsInstrument& r, int) {
       r.SetChange_MEDisp(false);
       r.SetChange_AliveDisp(false);
     }},
    KV_ON_FLAG(XD, Change_RemainTimeDisp),
    // Alternate ranges exist for the optional channels 1..3; every range flag goes.
    {"LR", 1,
     [](const clsInstrument& r, int, bool) {
       return AnyOf(r, &clsInstrument::Change_AltRng, 1, 3);
     },
     [](const clsInstrument& r, int) { return WriteLineLR(r); },
     [](clsInstrument& r, int) { ClearRange(r, &clsInstrument::SetChange_AltRng, 0, 7); }},
    KV_ON_FLAG(AL, Change_UsePasswd),
    KV_ON_FLAG(AQ, Change_Password),
    {"FF", 1,
     [](const clsInstrument& r, int, bool) {
       return !r.invalidFF() && (r.Change_IRRange() ||
                                 AnyOf(r, &clsInstrument::Change_PIDSmallRange, 0, kLastChannel));
     },
     [](const clsInstrument& r, int) { return WriteLineFF(r); },
     [](clsInstrument& r, int) {
       ClearRange(r, &clsInstrument::SetChange_PIDSmallRange, 0, kLastChannel);
       r.SetChange_IRRange(false);
     }},
    {"GN", 1,
     [](const clsInstrument& r, int, bool) {
       return !r.invalidGN() && (AnySelectable(r, &clsInstrument::Change_GasName) ||
                                 r.Change_CATOther() || r.Change_TCOther());
     },
     [](const clsInstrument& r, int) { return WriteLineGN(r); },
     [](clsInstrument& r, int) {
       ClearRange(r, &clsInstrument::SetChange_GasName, 0, kLastChannel);
       r.SetChange_CATOther(false);
       r.SetChange_TCOther(false);
     }},
    {"G1", kLongNameEntries,
     [](const clsInstrument& r, int i, bool) {
       return i < (r.invalidG1() ? kOlderLongNameEntries : kLongNameEntries) && r.Change_G1_(i);
     },
     WriteLineG1, [](clsInstrument& r, int i) { r.SetChange_G1_(i, false); }},
    KV_PER_ENTRY(LO, Change_LO_, ValidForm<&clsInstrument::invalidLO_>, kUserConversionEntries),
    {"FL", 1,
     [](const clsInstrument& r, int, bool) {
       return !r.invalidFL_() && AnyOf(r, &clsInstrument::Change_FL_, 0, 3);
     },
     [](const clsInstrument& r, int) { return WriteLineFL(r); },
     [](clsInstrument& r, int) { ClearRange(r, &clsInstrument::SetChange_FL_, 0, 3); }},
    KV_ON_FLAG(FH, Change_CATOtherEV),
    KV_ON_FLAG(LN, Change_LN_),
    KV_PER_ENTRY(LB, Change_LB_, ValidForm<&clsInstrument::invalidLB_>,
                 kPreDefinedConversionEntries),
    KV_PER_ENTRY(LA, Change_LA_, ValidForm<&clsInstrument::invalidLA_>, kMethaneLevelEntries),
    KV_PER_ENTRY(LS, Change_PIDName, ValidForm<&clsInstrument::invalidLJ>, kPidTableEntries),
    {"LI", kPidTableEntries,
     [](const clsInstrument& r, int i, bool) {
       return PidTablesTaken(r) && r.Change_PIDSpec(i, kLowRange);
     },
     WriteLineLI, [](clsInstrument& r, int i) { r.SetChange_PIDSpec(i, kLowRange, false); }},
    {"LJ", kPidTableEntries,
     [](const clsInstrument& r, int i, bool) {
       return PidTablesTaken(r) && r.Change_PIDSpec(i, kHighRange);
     },
     WriteLineLJ, [](clsInstrument& r, int i) { r.SetChange_PIDSpec(i, kHighRange, false); }},
    KV_ON_FLAG(HB, Change_Battery),
    {"SG", 1,
     [](const clsInstrument& r, int, bool) {
       return r.Change_DemandZero() || r.Change_DispSpanFc();
     },
     [](const clsInstrument& r, int) { return WriteLineSG(r); },
     [](clsInstrument& r, int) {
       r.SetChange_DemandZero(false);
       r.SetChange_DispSpanFc(false);
     }},
    // Always written: it closes every upload, even one with nothing changed.
    {"XV", 1, [](const clsInstrument&, int, bool) { return true; },
     [](const clsInstrument& r, int) { return WriteLineXV(r); },
     [](clsInstrument& r, int) { ClearRange(r, &clsInstrument::SetChange_XV_, 0, 1); }},
    // Sub-board settings (channels 4..6) take effect only on this command.
    {"ET", 1, [](const clsInstrument& r, int, bool) { return r.Change_SubBoard(); },
     [](const clsInstrument&, int) { return WriteLineET(); },
     [](clsInstrument& r, int) { r.SetChange_SubBoard(false); }},
    KV_ON_FLAG(AF, Change_AFapDisp),
    KV_ON_FLAG(UI, Change_UIgasDisp),
    KV_ON_FLAG(UW, Change_UWdateDisp),
    KV_ON_FLAG(BN, Change_BNuserLogoName),
    {"UD", 1, [](const clsInstrument&, int, bool saveAsDefault) { return saveAsDefault; },
     [](const clsInstrument&, int) { return WriteLineUD(); }, [](clsInstrument&, int) {}},
};

#undef KV_ON_FLAG
#undef KV_ON_CHANNEL
#undef KV_ON_SELECTABLE
#undef KV_PER_ENTRY

static_assert(std::size(kWriteGroups) == kWriteGroupCount);

}  // namespace

std::span<const WriteGroup> WriteGroups() { return kWriteGroups; }

}  // namespace kv
