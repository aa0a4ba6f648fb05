#include "protocol/write_lines.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <limits>

#include "protocol/codecs.h"
#include "protocol/field_parse.h"

namespace kv {
namespace {

constexpr std::size_t kListNameWidth = 16;   // station and user names
constexpr std::size_t kLongNameWidth = 20;   // long gas names, logo name, G1 texts
constexpr std::size_t kShortNameWidth = 3;   // short gas names
constexpr std::size_t kSerialWidth = 20;

// Channel 0 and the three optional sensors: the channels whose gas can be chosen.
constexpr std::array<int, 4> kSelectableChannels{0, 4, 5, 6};
constexpr int kFirstSubBoardChannel = 4;
constexpr int kLastSubBoardChannel = 6;

constexpr std::string_view kNoSensorField = "@";
constexpr Integer kNoSensorZeroForce = 16;
constexpr int kOxygenChannel = 1;
constexpr int kLowRange = 1;
constexpr int kHighRange = 0;
constexpr std::string_view kNoDataWire = "FFFF";
constexpr std::string_view kZeroWire = "0000";

// code + "," + access + "," + every field followed by a comma.
std::string Command(std::string_view code, char access,
                    std::initializer_list<std::string_view> fields) {
  std::string text(code);
  text += ',';
  text += access;
  text += ',';
  for (const auto field : fields) {
    text += field;
    text += ',';
  }
  return text;
}

std::string Write(std::string_view code, std::initializer_list<std::string_view> fields) {
  return Command(code, 'W', fields);
}

// A write line with one field per sensor channel 0..6.
template <class FieldOf>
std::string ChannelLine(std::string_view code, FieldOf fieldOf) {
  std::string text = Command(code, 'W', {});
  for (int k = 0; k < kSensorChannels; ++k) {
    text += fieldOf(k);
    text += ',';
  }
  return text;
}

// A write line with one field per selectable channel 0, 4, 5, 6.
template <class FieldOf>
std::string SelectableLine(std::string_view code, FieldOf fieldOf) {
  std::string text = Command(code, 'W', {});
  for (const int k : kSelectableChannels) {
    text += fieldOf(k);
    text += ',';
  }
  return text;
}

std::string Dec(long value) { return std::to_string(value); }
std::string Flag(bool on) { return on ? "1" : "0"; }

// Two decimal digits, as the PID unit index travels.
std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

// The shortest decimal text that reads back as the same float, never in
// exponent form ("1", "1.5", "-101").
std::string DecimalText(float value) {
  std::array<char, 64> text{};
  const auto result =
      std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  return std::string(text.data(), result.ptr);
}

float ClampToFloat(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  return static_cast<float>(std::clamp(value, -kMax, kMax));
}

// A catalytic channel's automatic calibration value travels as a raw count of
// the sensor: value x FL_(0) / GasFullScale. Codes and other negative values
// are never scaled, so "no data" stays "FFFF" instead of turning into "0000".
std::string AutoCalibField(const clsInstrument& r, int k) {
  const float value = r.AutoCalib(k);
  const int places = r.GasPoint(k);
  if (r.GasType(k) != kGasTypeCatalytic || std::isnan(value) || value < 0.0F) {
    return EncodeValue(value, places);
  }
  const double fullScale = r.GasFullScale(k);
  const double reference = r.FL_(0);
  // Without a full scale or a sensor reference there is no raw count to send:
  // the value goes out as "no data" rather than through a division by zero.
  if (fullScale == 0.0 || reference == 0.0 || !std::isfinite(fullScale)) {
    return std::string(kNoDataWire);
  }
  const double raw = static_cast<double>(value) * reference / fullScale;
  if (raw < 0.0) {
    return std::string(kZeroWire);  // as any other negative value
  }
  return EncodeValue(ClampToFloat(raw), places);
}

std::string PidLine(std::string_view code, const clsInstrument& r, int e, int range) {
  const int places = r.PIDPoint(e, range);
  const auto value = [&](Single v) { return EncodeValue(v, places); };
  // The factor is a whole count from the instrument; a value beyond the Long
  // range cannot come from it and goes out as 0.
  const long factor = RoundToLong(r.PIDFactor(e, range)).value_or(0);
  return Write(code, {HexByte(e), value(r.PIDFullScale(e, range)), Dec(places),
                      TwoDigits(UnitIndex(r.PIDUnit(e, range))), value(r.PIDDigit(e, range)),
                      value(r.PIDWarn(e, range)), value(r.PIDAlarm(e, range)),
                      value(r.PIDStel(e, range)), value(r.PIDTwa(e, range)),
                      value(r.PIDAutoCal(e, range)), HexText(factor)});
}

std::string ConversionLine(std::string_view code, std::string index, const Text& longName,
                           const Text& name, Integer factor) {
  return Write(code, {index, PadText(longName, kLongNameWidth), PadText(name, kShortNameWidth),
                      Hex4(factor)});
}

// Two digits of a clock field; the clock is assumed valid, the modulo only
// keeps the line at twelve digits whatever it is handed.
std::string ClockPair(int value) { return TwoDigits(((value % 100) + 100) % 100); }

}  // namespace

// ---- station and user lists, identity ---------------------------------------
std::string WriteLineXZ(const clsInstrument& r, int entry) {
  return Write("XZ", {HexByte(entry + 1), PadText(r.XZ_(entry), kListNameWidth)});
}
std::string WriteLineXS(const clsInstrument& r, int entry) {
  return Write("XS", {HexByte(entry + 1), PadText(r.XS_(entry), kListNameWidth)});
}
std::string WriteLineXV(const clsInstrument& r) {
  return Write("XV", {HexByte(r.XV_(0)), HexByte(r.XV_(1))});
}
// The instrument echoes the serial number and the echo is compared with the
// record as it stands, so it is cut but never padded.
std::string WriteLineIN(const clsInstrument& r) {
  return Write("IN", {CutText(r.SerialNo(), kSerialWidth)});
}
std::string WriteLineHN(const clsInstrument& r) {
  return Write("HN", {CutText(r.DummySerial(), kSerialWidth)});
}

// ---- global settings -----------------------------------------------------------
std::string WriteLineAP(const clsInstrument& r) { return Write("AP", {Dec(r.AlarmMode())}); }
std::string WriteLineXP(const clsInstrument& r) {
  return Write("XP", {Dec(IntervalCode(r.Intervals()))});
}
std::string WriteLineXI(const clsInstrument& r) { return Write("XI", {Flag(r.DispID())}); }
std::string WriteLineSD(const clsInstrument& r) { return Write("SD", {Flag(r.DispCalLimit())}); }
std::string WriteLineSM(const clsInstrument& r) { return Write("SM", {Dec(r.CalCheck())}); }
std::string WriteLineSC(const clsInstrument& r) { return Write("SC", {Hex4(r.CalLimit())}); }
std::string WriteLineXL(const clsInstrument& r) { return Write("XL", {Dec(r.LunchBreak())}); }
std::string WriteLineXA(const clsInstrument& r) { return Write("XA", {Dec(r.AlarmSilence())}); }
// The instrument reports Confermation in hexadecimal but takes it in decimal.
std::string WriteLineXB(const clsInstrument& r) { return Write("XB", {Dec(r.Confermation())}); }
std::string WriteLineXW(const clsInstrument& r) { return Write("XW", {Dec(r.LogOverWrite())}); }
std::string WriteLineXT(const clsInstrument& r) { return Write("XT", {HexByte(r.LcdBackLight())}); }
std::string WriteLineUL(const clsInstrument& r) { return Write("UL", {HexText(r.LcdContrast())}); }
std::string WriteLineAT(const clsInstrument& r) { return Write("AT", {Dec(r.AlarmO2())}); }
std::string WriteLineUJ(const clsInstrument& r) { return Write("UJ", {r.SpecType()}); }
std::string WriteLineLP(const clsInstrument& r) {
  return Write("LP", {Dec(r.HcMode()), Dec(r.CurrHc())});
}
std::string WriteLineXC(const clsInstrument& r) { return Write("XC", {Dec(r.LogaClear())}); }
// LBMode and BarHoleTime are reported in hexadecimal but taken in decimal.
std::string WriteLineWB(const clsInstrument& r) {
  return Write("WB", {Dec(r.LBMode()), Dec(r.BarHoleTime()), Dec(r.LeakBeep())});
}
std::string WriteLineHH(const clsInstrument& r) {
  return Write("HH", {HexByte(r.HH_(0)), HexByte(r.HH_(1))});
}
std::string WriteLineHE(const clsInstrument& r) {
  return Write("HE", {HexByte(r.HE_(0)), HexByte(r.HE_(1)), HexByte(r.HE_(2))});
}
std::string WriteLineSJ(const clsInstrument& r) { return Write("SJ", {Dec(r.AutoZero())}); }
std::string WriteLineLF(const clsInstrument& r) { return Write("LF", {Dec(r.ConvFc())}); }
std::string WriteLineUV(const clsInstrument& r) { return Write("UV", {Dec(r.LogoDisp())}); }
std::string WriteLineAF(const clsInstrument& r) { return Write("AF", {Dec(r.AFapDisp())}); }
std::string WriteLineUI(const clsInstrument& r) { return Write("UI", {Dec(r.UIgasDisp())}); }
std::string WriteLineUW(const clsInstrument& r) { return Write("UW", {Dec(r.UWdateDisp())}); }
std::string WriteLineBN(const clsInstrument& r) {
  return Write("BN", {PadText(r.BNuserLogoName(), kLongNameWidth)});
}
std::string WriteLineXE(const clsInstrument& r) {
  return Write("XE", {Dec(r.MEDisp()), Dec(r.AliveDisp())});
}
std::string WriteLineXD(const clsInstrument& r) { return Write("XD", {Dec(r.RemainTimeDisp())}); }
// UsePasswd is reported in hexadecimal but taken in decimal.
std::string WriteLineAL(const clsInstrument& r) { return Write("AL", {Dec(r.UsePasswd())}); }
std::string WriteLineAQ(const clsInstrument& r) { return Write("AQ", {r.Password()}); }
std::string WriteLineHB(const clsInstrument& r) { return Write("HB", {Dec(r.Battery())}); }
std::string WriteLineSG(const clsInstrument& r) {
  return Write("SG", {Dec(r.DemandZero()), Dec(r.DispSpanFc())});
}

// ---- gas channels ------------------------------------------------------------------
std::string WriteLineGN(const clsInstrument& r) {
  const auto name = [](const Text& text) { return PadText(text, kShortNameWidth); };
  return Write("GN", {name(r.GasName(0)), name(r.CATOther()), name(r.GasName(4)),
                      name(r.GasName(5)), name(r.GasName(6)), name(r.TCOther())});
}
std::string WriteLineGP(const clsInstrument& r) {
  return ChannelLine("GP", [&](int k) { return Dec(r.GasPoint(k)); });
}
std::string WriteLineGF(const clsInstrument& r) {
  return SelectableLine("GF", [&](int k) { return EncodeValue(r.GasFullScale(k), r.GasPoint(k)); });
}
// The resolution travels as the low byte of its value field.
std::string WriteLineGD(const clsInstrument& r) {
  return SelectableLine("GD", [&](int k) {
    return EncodeValue(r.GasDesit(k), r.GasPoint(k)).substr(2);
  });
}
std::string WriteLineGU(const clsInstrument& r) {
  return SelectableLine("GU", [&](int k) { return Dec(UnitIndex(r.GasUnit(k))); });
}
// Name, full scale, resolution and unit of every channel: the only record
// that keeps these for the fixed sensors 1 to 3.
std::string FileLineGJ(const clsInstrument& r) {
  std::string text = Command("GJ", 'W', {});
  for (int k = 0; k < kSensorChannels; ++k) {
    for (const auto& field :
         {PadText(r.GasName(k), kShortNameWidth), EncodeValue(r.GasFullScale(k), r.GasPoint(k)),
          EncodeValue(r.GasDesit(k), r.GasPoint(k)), Dec(UnitIndex(r.GasUnit(k)))}) {
      text += field;
      text += ',';
    }
  }
  return text;
}
// One character per channel: "0" plus the channel's output mask. A mask of 11
// gives ";", which the file reader takes for a comment; the instrument does not.
std::string WriteLineUG(const clsInstrument& r) {
  return ChannelLine("UG", [&](int k) {
    return std::string(1, static_cast<char>(('0' + r.UG_(k)) & 0xFF));
  });
}
// The file marks the oxygen channel's zero suppress as unused whatever it holds.
std::string WriteLineUS(const clsInstrument& r, WriteTarget target) {
  return ChannelLine("US", [&](int k) {
    const bool noSensor = r.ZeroForce(k) == kNoSensorZeroForce ||
                          (target == WriteTarget::File && k == kOxygenChannel);
    return noSensor ? std::string(kNoSensorField) : Dec(r.ZeroForce(k));
  });
}
// GasType is reported in hexadecimal but taken in decimal.
std::string WriteLineIT(const clsInstrument& r) {
  return ChannelLine("IT", [&](int k) {
    return r.GasType(k) == kGasTypeNone ? std::string(kNoSensorField) : Dec(r.GasType(k));
  });
}
std::string WriteLineA1(const clsInstrument& r) {
  return ChannelLine("A1", [&](int k) { return EncodeValue(r.Warning(k), r.GasPoint(k)); });
}
std::string WriteLineA2(const clsInstrument& r) {
  return ChannelLine("A2", [&](int k) { return EncodeValue(r.Alarm(k), r.GasPoint(k)); });
}
std::string WriteLineAS(const clsInstrument& r) {
  return ChannelLine("AS", [&](int k) { return EncodeValue(r.Stel(k), r.GasPoint(k)); });
}
std::string WriteLineAW(const clsInstrument& r) {
  return ChannelLine("AW", [&](int k) { return EncodeValue(r.Twa(k), r.GasPoint(k)); });
}
std::string WriteLineSA(const clsInstrument& r) {
  return ChannelLine("SA", [&](int k) { return AutoCalibField(r, k); });
}
std::string WriteLineUZ(const clsInstrument& r) {
  long mask = 0;
  for (int k = 0; k < kSensorChannels; ++k) {
    if (r.Zero(k) != 0) mask |= 1L << k;
  }
  return Write("UZ", {HexByte(mask)});
}
// The alternate ranges of channels 1 to 3 as bits 1 to 3 of one digit.
std::string WriteLineLR(const clsInstrument& r) {
  long bits = 0;
  for (int k = 1; k <= 3; ++k) {
    if (r.AltRng(k) != 0) bits |= 1L << k;
  }
  return Write("LR", {HexText(bits)});
}
// IRRange is reported in hexadecimal but taken in decimal. Each optional
// channel sends the range setting its sensor type uses.
std::string WriteLineFF(const clsInstrument& r) {
  std::string text = Write("FF", {Dec(r.IRRange())});
  for (int k = kFirstSubBoardChannel; k <= kLastSubBoardChannel; ++k) {
    switch (r.GasType(k)) {
      case kGasTypePid: text += Dec(r.PIDSmallRange(k)); break;
      case kGasTypeInfrared: text += Dec(r.AutoRange(k)); break;
      default: text += '0'; break;
    }
    text += ',';
  }
  return text;
}
std::string WriteLineFL(const clsInstrument& r) {
  return Write("FL", {HexWord(r.FL_(0)), HexWord(r.FL_(1)), HexWord(r.FL_(2)), HexWord(r.FL_(3))});
}
std::string WriteLineFH(const clsInstrument& r) { return Write("FH", {Dec(r.CATOtherEV())}); }
// The ratio levels use the decimal places of the ppm and vol% ratio channels.
std::string WriteLineAC(const clsInstrument& r) {
  const int ppmPlaces = kRatioPpmPoint;
  const int volPlaces = kRatioVolPoint;
  return Write("AC", {EncodeValue(static_cast<Single>(r.CATppm1st()), ppmPlaces),
                      EncodeValue(static_cast<Single>(r.CATppm2nd()), ppmPlaces),
                      EncodeValue(r.CATvol1st(), volPlaces), EncodeValue(r.CATvol2nd(), volPlaces)});
}
std::string WriteLineG1(const clsInstrument& r, int index) {
  return Write("G1", {Dec(index), PadText(r.G1_(index), kLongNameWidth)});
}

// ---- conversion tables and PID table ---------------------------------------------
std::string WriteLineLO(const clsInstrument& r, int index) {
  return ConversionLine("LO", Dec(index), r.LO_longname(index), r.LO_name(index), r.LO_fc(index));
}
std::string WriteLineLN(const clsInstrument& r) { return Write("LN", {HexByte(r.LN_())}); }
std::string WriteLineLB(const clsInstrument& r, int index) {
  return ConversionLine("LB", HexByte(index), r.LB_longname(index), r.LB_name(index),
                        r.LB_fc(index));
}
// The two levels are readings of the catalytic channel: they travel as value
// fields with its decimal places, codes included, exactly as they are read.
std::string WriteLineLA(const clsInstrument& r, int index) {
  const int places = r.GasPoint(0);
  return Write("LA", {HexByte(index), EncodeValue(r.LA_warn(index), places),
                      EncodeValue(r.LA_alarm(index), places), HexWord(r.LA_ratio(index)),
                      DecimalText(r.LA_volt(index))});
}
std::string WriteLineLS(const clsInstrument& r, int entry) {
  return Write("LS", {HexByte(entry), PadText(r.PIDLongName(entry), kLongNameWidth),
                      PadText(r.PIDName(entry), kShortNameWidth)});
}
std::string WriteLineLI(const clsInstrument& r, int entry) {
  return PidLine("LI", r, entry, kLowRange);
}
std::string WriteLineLJ(const clsInstrument& r, int entry) {
  return PidLine("LJ", r, entry, kHighRange);
}

// ---- service lines -----------------------------------------------------------------
std::string WriteLineHC(const DateTime& now) {
  return "HC,W," + ClockPair(now.year) + ClockPair(now.month) + ClockPair(now.day) +
         ClockPair(now.hour) + ClockPair(now.minute) + ClockPair(now.second);
}
std::string WriteLineRO() { return "RO,W,"; }
std::string WriteLineET() { return "ET,W,"; }
std::string WriteLineUD() { return "UD,W,"; }
std::string EndLineXC() { return "XC,E,"; }
std::string WriteLineUP() { return "UP,W,"; }
std::string WriteLineUX(int kind) { return "UX,W," + HexText(kind); }
std::string WriteLineBP(bool pumpOn) { return std::string("BP,W,") + Flag(pumpOn); }
std::string WriteLineSZ() { return "SZ,W,"; }
std::string WriteLineS2(std::string_view data) { return "S2,W," + std::string(data); }
std::string CompletionLineUX() { return "UX,C,"; }
std::string CompletionLineSZ() { return "SZ,C,"; }
std::string CompletionLineS2() { return "S2,C,"; }
std::string ReadLineBP() { return "BP,R,"; }
std::string ReadLineDN() { return "DN,R,"; }
std::string ReadLineSO() { return "SO,R,0"; }

// ---- the maintenance data file's record order ---------------------------------------
namespace {

#define KV_ONE(Code) \
  FileRecordRow { #Code, 1, [](const clsInstrument& r, int) { return WriteLine##Code(r); } }
#define KV_EACH(Code, Lines) \
  FileRecordRow { #Code, Lines, [](const clsInstrument& r, int i) { return WriteLine##Code(r, i); } }

constexpr std::array<FileRecordRow, kFileRecordCodes> kFileRecords{{
    KV_EACH(XZ, 32), KV_EACH(XS, 128), KV_EACH(LO, 5), KV_ONE(LN), KV_EACH(LB, 30),
    KV_EACH(LA, 35), KV_EACH(LS, 17), KV_EACH(LI, 17), KV_EACH(LJ, 17), KV_ONE(XV),
    KV_ONE(GN), KV_ONE(GP), KV_ONE(GF), KV_ONE(GD), KV_ONE(GU),
    FileRecordRow{"GJ", 1, [](const clsInstrument& r, int) { return FileLineGJ(r); }},
    KV_ONE(UG),
    FileRecordRow{"US", 1,
                  [](const clsInstrument& r, int) { return WriteLineUS(r, WriteTarget::File); }},
    KV_ONE(AP), KV_ONE(XP), KV_ONE(XI), KV_ONE(SD), KV_ONE(SM), KV_ONE(SC), KV_ONE(XL),
    KV_ONE(XA), KV_ONE(XB), KV_ONE(XW), KV_ONE(XT), KV_ONE(UL), KV_ONE(IT), KV_ONE(A1),
    KV_ONE(A2), KV_ONE(AS), KV_ONE(AW), KV_ONE(WB), KV_ONE(FL), KV_ONE(FH), KV_ONE(SA),
    KV_ONE(UZ), KV_ONE(AT), KV_ONE(UJ), KV_ONE(LP), KV_ONE(XC), KV_ONE(AC), KV_ONE(HH),
    KV_ONE(HE), KV_ONE(SJ), KV_ONE(LF), KV_ONE(UV), KV_ONE(AF), KV_ONE(UI), KV_ONE(UW),
    KV_ONE(BN), KV_ONE(XE), KV_ONE(XD), KV_ONE(LR), KV_ONE(AL), KV_ONE(AQ), KV_ONE(FF),
    KV_EACH(G1, 6), KV_ONE(HB), KV_ONE(SG),
}};

#undef KV_ONE
#undef KV_EACH

constexpr int CountLines() {
  int lines = 0;
  for (const auto& row : kFileRecords) lines += row.lines;
  return lines;
}
static_assert(CountLines() == kFileRecordLines, "the file holds 341 records");

}  // namespace

std::span<const FileRecordRow> FileRecordTable() { return kFileRecords; }

}  // namespace kv
