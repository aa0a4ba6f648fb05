#include "sim/sim_default_state.h"

#include <array>
#include <string_view>

#include "common/datetime.h"
#include "protocol/codecs.h"

namespace kv::sim {
namespace {

// A value as the instrument holds it: exactly what its wire form decodes to.
Single Held(double value, int places) {
  return DecodeValue(EncodeValue(static_cast<float>(value), places), places);
}

struct ChannelSpec {
  std::string_view name;
  Integer type;
  Integer places;
  double fullScale, resolution;
  std::string_view unit;
  Integer outputMask, zeroForce, zeroFollower;
  double warning, alarm, stel, twa, span;
};

constexpr double kNone = -101.0;  // no data
constexpr double kOff = -121.0;   // level not used ("DDDD")
constexpr double kFefe = -118.0;  // level not adjustable ("FEFE")

constexpr std::array<ChannelSpec, kSensorChannels> kChannels{{
    {"CH4", kGasTypeCatalytic, 0, 100, 1, "%LEL", 1, 1, 1, 10, 20, kOff, kOff, 50},
    // "H-L": a high warning above fresh air, a low alarm below it.
    {"O2", 1, 1, 25.0, 0.1, "vol%", 2, 16, 0, 23.5, 19.5, kOff, kOff, 20.9},
    {"H2S", 2, 1, 100.0, 0.1, "ppm", 4, 1, 1, 5.0, 10.0, 5.0, 1.0, 25.0},
    {"CO", 3, 0, 500, 1, "ppm", 8, 2, 1, 25, 50, 200, 25, 50},
    {"CO2", kGasTypeInfrared, 2, 5.00, 0.01, "vol%", 16, 0, 0, 0.50, 1.00, 1.50, kFefe, 2.50},
    {"IBL", kGasTypePid, 1, 200.0, 0.1, "ppm", 32, 1, 0, 50.0, 100.0, kNone, 10.0, 100.0},
    {"---", kGasTypeNone, 0, 0, 1, "ppm", 0, 16, 0, kNone, kNone, kNone, kNone, kNone},
}};

constexpr std::array<const char*, 12> kStations{
    "NORTH GATE",  "BOILER HOUSE", "TANK FARM A", "TANK FARM B", "PUMP STATION 3", "CONTROL ROOM",
    "LOADING BAY", "SEWER MH-12",  "COMPRESSOR",  "SILO 4 TOP",  "WORKSHOP",       "GATE HOUSE"};
constexpr std::array<const char*, 6> kUsers{"J.SMITH",  "A.NOVAK",  "K.TANAKA",
                                            "M.OKAFOR", "L.GARCIA", "P.LINDQVIST"};

struct Conversion {
  const char* longName;
  const char* name;
  Integer factor;  // the user table accepts 1 to 25
};
constexpr std::array<Conversion, 12> kPresetConversions{{
    {"METHANE", "CH4", 100},
    {"HYDROGEN", "H2", 110},
    {"PROPANE", "PRO", 155},
    {"BUTANE", "BUT", 170},
    {"PENTANE", "PEN", 195},
    {"HEXANE", "HEX", 215},
    {"ETHANOL", "ETH", 135},
    {"METHANOL", "MEO", 120},
    {"ACETONE", "ACE", 160},
    {"TOLUENE", "TOL", 210},
    {"ETHYLENE", "ETY", 125},
    {"ACETYLENE", "ACY", 140},
}};
constexpr std::array<Conversion, 2> kUserConversions{{
    {"ISOPROPANOL", "IPA", 2},
    {"XYLENE", "XYL", 3},
}};
constexpr int kFirstUserLevel = 30;  // conversion levels 30..34 belong to the user table

struct PidGas {
  const char* longName;
  const char* name;
};
constexpr std::array<PidGas, 10> kPidGases{{
    {"ISOBUTYLENE", "IBL"},
    {"BENZENE", "BNZ"},
    {"TOLUENE", "TOL"},
    {"XYLENE", "XYL"},
    {"ACETONE", "ACE"},
    {"ETHANOL", "ETH"},
    {"HEXANE", "HEX"},
    {"STYRENE", "STY"},
    {"AMMONIA", "NH3"},
    {"PHENOL", "PHE"},
}};

// A full scale of the range's table, with its resolution, digit and a factor
// inside its factor range (whole: the instrument keeps the factor as a whole number).
struct PidRangeSpec {
  int range, places;
  double fullScale, digit, warn, alarm, stel, twa, span, factor;
};
constexpr std::array<PidRangeSpec, kPidRanges> kPidRangeSpecs{{
    {0, 0, 2000, 1, 100, 200, 150, 50, 100, 1},           // high range
    {1, 2, 50.0, 0.02, 10.0, 25.0, 15.0, 5.0, 10.0, 1},  // low range
}};

// The demonstration values only use indexes inside their tables, so no
// indexed setter refuses one.
void Stored(bool) {}

// Stores values[i] at index i through an indexed setter.
template <class Setter, class Values>
void Fill(clsInstrument& r, Setter set, const Values& values) {
  int index = 0;
  for (const auto& value : values) Stored((r.*set)(index++, value));
}

void SetChannels(clsInstrument& r) {
  const DateTime calibrated{2025, 11, 3, 9, 15, 0};
  for (int k = 0; k < kSensorChannels; ++k) {
    const ChannelSpec& c = kChannels[static_cast<std::size_t>(k)];
    const int p = c.places;
    Stored(r.SetGasName(k, Text(c.name)));
    Stored(r.SetGasType(k, c.type));
    Stored(r.SetGasPoint(k, c.places));
    Stored(r.SetGasFullScale(k, Held(c.fullScale, p)));
    Stored(r.SetGasDesit(k, Held(c.resolution, p)));
    Stored(r.SetGasUnit(k, Text(c.unit)));
    Stored(r.SetUG_(k, c.outputMask));
    Stored(r.SetZeroForce(k, c.zeroForce));
    Stored(r.SetZero(k, c.zeroFollower));
    Stored(r.SetWarning(k, Held(c.warning, p)));
    Stored(r.SetAlarm(k, Held(c.alarm, p)));
    Stored(r.SetStel(k, Held(c.stel, p)));
    Stored(r.SetTwa(k, Held(c.twa, p)));
    Stored(r.SetAutoCalib(k, Held(c.span, p)));
    if (c.type == kGasTypeNone) continue;
    Stored(r.SetCalibDate(k, ToSerialDate(AddSeconds(calibrated, 60L * k))));
    Stored(r.SetCalibBefore(k, Held(c.span * 0.96, p)));
    Stored(r.SetCalibAfter(k, Held(c.span, p)));
  }
  constexpr int kInfrared = 4, kPid = 5;
  Stored(r.SetAutoRange(kInfrared, 1));
  Stored(r.SetIR_Hi_Point(kInfrared, 1));
  Stored(r.SetIR_Hi_FullScale(kInfrared, Held(100.0, 1)));
  Stored(r.SetchangeDenst(kInfrared, Held(5.0, 1)));
  Stored(r.SetIR_Hi_Unit(kInfrared, "vol%"));
  Stored(r.SetPIDSmallRange(kPid, 1));
  // FL_(0) is the ppm of 100 %LEL methane; the catalytic channel's counts scale with it.
  Fill(r, &clsInstrument::SetFL_, std::array<Long, 4>{50000, 1250, 880, 2048});
  Stored(r.SetAltRng(2, 1));
}

void SetGlobals(clsInstrument& r) {
  r.SetSerialNo("KV24-0007713");
  r.SetDummySerial("SB24-0031275");
  r.SetRomNumber(3021);
  r.SetSUM("7A3C");
  r.SetSpecType("1");
  r.SetAlarmMode(1);
  r.SetDispCalLimit(true);
  r.SetCalLimit(90);
  r.SetCalCheck(2);
  r.SetIntervals(60);
  r.SetDispID(true);
  r.SetConfermation(1);
  r.SetLogOverWrite(1);
  r.SetLunchBreak(0);
  r.SetAlarmSilence(1);
  r.SetLcdBackLight(5);
  r.SetLcdContrast(8);
  r.SetHcMode(3);
  r.SetCurrHc(0);
  r.SetAlarmO2(0);
  r.SetLogaClear(1);
  r.SetLBMode(0);
  r.SetBarHoleTime(1);  // 45 s
  r.SetLeakBeep(1);
  r.SetIRRange(0);
  r.SetUsePasswd(1);
  r.SetPassword("2468");
  r.SetAutoZero(1);
  r.SetConvFc(0);
  r.SetLogoDisp(1);
  r.SetMEDisp(1);
  r.SetAliveDisp(0);
  r.SetRemainTimeDisp(1);
  r.SetAFapDisp(1);
  r.SetUIgasDisp(1);
  r.SetUWdateDisp(1);
  r.SetBNuserLogoName("NORTHFIELD GAS WORKS");
  r.SetBattery(0);
  r.SetDemandZero(1);
  r.SetDispSpanFc(0);
  r.SetCATOther("H2");
  r.SetTCOther("CH4");
  r.SetCATOtherEV(110);
  r.SetCATppm1st(1000);
  r.SetCATppm2nd(5000);
  r.SetCATvol1st(Held(0.25, 2));
  r.SetCATvol2nd(Held(0.50, 2));
  r.SetLN_(static_cast<Integer>(kPresetConversions.size()));
}

void SetTables(clsInstrument& r) {
  Fill(r, &clsInstrument::SetXS_, kStations);
  Fill(r, &clsInstrument::SetXZ_, kUsers);
  Fill(r, &clsInstrument::SetXV_, std::array<Integer, 2>{3, 2});
  Fill(r, &clsInstrument::SetG1_,
       std::array<const char*, 4>{"METHANE", "HYDROGEN", "CARBON DIOXIDE", "ISOBUTYLENE"});
  Fill(r, &clsInstrument::SetHH_, std::array<Integer, 2>{0x20, 0x28});
  Fill(r, &clsInstrument::SetHE_, std::array<Integer, 3>{0x80, 0x90, 0xAA});
  Fill(r, &clsInstrument::SetRP_, std::array<Integer, 2>{0x40, 0x44});
  // Methane-elimination zeros (low, middle, high) and span.
  Fill(r, &clsInstrument::SetSI_, std::array<Integer, 4>{480, 500, 520, 600});
  Fill(r, &clsInstrument::SetSZ_,
       std::array<Integer, 9>{0x212, 0x1F8, 0xC4E, 0x107, 0xE10, 0xA2B, 0, 0x40, 3});
  Fill(r, &clsInstrument::SetS1_,
       std::array<Integer, 7>{0x3E8, 0x0D1, 0x0FA, 0x1F4, 0x1F4, 0x3E8, 0});
  std::array<Long, 26> analogue{};
  for (std::size_t i = 0; i < analogue.size(); ++i)
    analogue[i] = 0x1000 + 0x137 * static_cast<Long>(i);
  Fill(r, &clsInstrument::SetAnalogValue, analogue);
}

void SetConversions(clsInstrument& r) {
  for (std::size_t i = 0; i < kPresetConversions.size(); ++i) {
    const Conversion& c = kPresetConversions[i];
    const int n = static_cast<int>(i);
    const double step = static_cast<double>(i % 3);
    Stored(r.SetLB_longname(n, c.longName));
    Stored(r.SetLB_name(n, c.name));
    Stored(r.SetLB_fc(n, c.factor));
    Stored(r.SetLA_warn(n, Held(10 + step * 5, 0)));
    Stored(r.SetLA_alarm(n, Held(20 + step * 10, 0)));
    Stored(r.SetLA_ratio(n, 100));
    Stored(r.SetLA_volt(n, i == 0 ? 1 : 0));  // methane elimination mode
  }
  // A gas whose levels are switched off.
  Stored(r.SetLA_warn(5, kCodeDDDD));
  Stored(r.SetLA_alarm(5, kCodeDDDD));
  // Unused user entries still carry a factor the table accepts.
  for (int n = 0; n < clsInstrument::kLO - 1; ++n) Stored(r.SetLO_fc(n, 1));
  for (std::size_t i = 0; i < kUserConversions.size(); ++i) {
    const Conversion& c = kUserConversions[i];
    const int n = static_cast<int>(i);
    Stored(r.SetLO_longname(n, c.longName));
    Stored(r.SetLO_name(n, c.name));
    Stored(r.SetLO_fc(n, c.factor));
    // Levels in the table's steps of 100 below their ratio.
    Stored(r.SetLA_warn(kFirstUserLevel + n, Held(200, 0)));
    Stored(r.SetLA_alarm(kFirstUserLevel + n, Held(400, 0)));
    Stored(r.SetLA_ratio(kFirstUserLevel + n, 2000));
  }
}

void SetPidTable(clsInstrument& r) {
  // Unused entries still carry a unit: the unit travels as an index.
  for (int e = 0; e < kPidReachable; ++e) {
    for (int range = 0; range < kPidRanges; ++range) r.SetPIDUnit(e, range, "ppm");
  }
  for (std::size_t i = 0; i < kPidGases.size(); ++i) {
    const PidGas& gas = kPidGases[i];
    const int e = static_cast<int>(i);
    r.SetPIDLongName(e, gas.longName);
    r.SetPIDName(e, gas.name);
    for (const PidRangeSpec& s : kPidRangeSpecs) {
      const int p = s.places;
      r.SetPIDPoint(e, s.range, static_cast<Integer>(p));
      r.SetPIDFullScale(e, s.range, Held(s.fullScale, p));
      r.SetPIDDigit(e, s.range, Held(s.digit, p));
      r.SetPIDWarn(e, s.range, Held(s.warn, p));
      r.SetPIDAlarm(e, s.range, Held(s.alarm, p));
      r.SetPIDStel(e, s.range, Held(s.stel, p));
      r.SetPIDTwa(e, s.range, Held(s.twa, p));
      r.SetPIDAutoCal(e, s.range, Held(s.span, p));
      r.SetPIDFactor(e, s.range, static_cast<Single>(s.factor));
    }
  }
}

}  // namespace

clsInstrument MakeDemoInstrument() {
  clsInstrument r;
  SetGlobals(r);
  SetChannels(r);
  SetTables(r);
  SetConversions(r);
  SetPidTable(r);
  // The catalytic ratio follows the sensor reference, as the instrument reports it.
  Stored(r.SetRatio(0, static_cast<Single>(r.FL_(0))));
  r.ClearChangeFlags();
  return r;
}

}  // namespace kv::sim
