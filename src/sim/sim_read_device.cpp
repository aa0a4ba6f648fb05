// Read replies of the instrument as a whole: identity, clock, station and
// user lists, global settings, small setting groups, service reads.
#include <array>
#include <vector>

#include "protocol/codecs.h"
#include "protocol/field_parse.h"
#include "sim/sim_fields.h"
#include "sim/sim_handlers.h"

namespace kv::sim {
namespace {

using Reply = std::optional<std::string>;
constexpr int kStationsPerBlock = 64;
constexpr int kUsers = 32;
constexpr int kUpperStationBlock = 0xFF;

Reply One(std::string_view code, std::string field) {
  return ReplyText(code, 'R', {std::move(field)});
}
std::string Flag(bool on) { return on ? "1" : "0"; }

template <class Getter>
std::vector<std::string> Fields(int first, int count, Getter get) {
  std::vector<std::string> fields;
  for (int i = first; i < first + count; ++i) fields.push_back(get(i));
  return fields;
}

// "XX,R,ii": the index the program asks for, or nothing when it is not hexadecimal.
std::optional<int> IndexArgument(std::string_view argument) {
  const auto index = ParseHex16(argument);
  if (!index) return std::nullopt;
  return *index;
}

Reply StationList(SimDevice& d, std::string_view argument) {
  const auto index = IndexArgument(argument);
  if (!index) return std::nullopt;
  const clsInstrument& s = d.Settings();
  // 00 and FF ask for the lower and upper block of 64 names, any other index for one name.
  if (*index == 0 || *index == kUpperStationBlock) {
    const int first = *index == 0 ? 0 : kStationsPerBlock;
    std::vector<std::string> fields{HexByte(*index)};
    for (std::string& name : Fields(first, kStationsPerBlock, [&](int i) { return s.XS_(i); })) {
      fields.push_back(std::move(name));
    }
    return ReplyText("XS", 'R', fields);
  }
  if (*index >= clsInstrument::kXS) return std::nullopt;
  return ReplyText("XS", 'R', {HexByte(*index), s.XS_(*index)});
}

Reply UserList(SimDevice& d, std::string_view argument) {
  const auto index = IndexArgument(argument);
  if (!index || *index >= clsInstrument::kXZ) return std::nullopt;
  const clsInstrument& s = d.Settings();
  if (*index != 0) return ReplyText("XZ", 'R', {HexByte(*index), s.XZ_(*index)});
  std::vector<std::string> fields{HexByte(0)};
  for (std::string& name : Fields(0, kUsers, [&](int i) { return s.XZ_(i); })) {
    fields.push_back(std::move(name));
  }
  return ReplyText("XZ", 'R', fields);
}

template <class Table>
Reply HexTable(std::string_view code, int count, Table get) {
  return ReplyText(code, 'R', Fields(0, count, [&](int i) { return HexText(get(i)); }));
}

Reply LiveReadingsReply(SimDevice& d, std::string_view) {
  const LiveReadings::Values values = d.Live().Next(d.Settings());
  return ReplyText("DN", 'R', Fields(0, kSensorChannels, [&](int k) {
                     return ChannelValueField(d.Settings(), k, values[static_cast<std::size_t>(k)]);
                   }));
}

// Busy while the data logger is being erased or the factory settings restored.
Reply BusyPoll(SimDevice& d, std::string_view) {
  const bool busy = d.PollBusy();
  return ReplyText("BP", busy ? 'A' : 'R', {Flag(d.PumpOn())});
}

// One row whose reply is a single expression of the device `d` and its settings `s`.
#define KV_READ(code, expression)                             \
  ReadRow {                                                   \
    code, [](SimDevice& d, std::string_view) -> Reply {       \
      [[maybe_unused]] const clsInstrument& s = d.Settings(); \
      return expression;                                      \
    }                                                         \
  }

const std::array kDeviceReads = {
    ReadRow{"XS", StationList},
    ReadRow{"XZ", UserList},
    ReadRow{"DN", LiveReadingsReply},
    ReadRow{"BP", BusyPoll},
    KV_READ("VP", One("VP", Dec(s.RomNumber()))),
    KV_READ("VS", One("VS", s.SUM())),
    KV_READ("IN", One("IN", s.SerialNo())),
    KV_READ("HN", One("HN", s.DummySerial())),
    KV_READ("HC", One("HC", DateField(d.InstrumentNow()))),
    KV_READ("UJ", One("UJ", s.SpecType())),
    KV_READ("XV", ReplyText("XV", 'R', {HexByte(s.XV_(0)), HexByte(s.XV_(1))})),
    KV_READ("AP", One("AP", Dec(s.AlarmMode()))),
    KV_READ("SD", One("SD", Flag(s.DispCalLimit()))),
    KV_READ("SC", One("SC", Hex4(s.CalLimit()))),
    KV_READ("SM", One("SM", Dec(s.CalCheck()))),
    KV_READ("XP", One("XP", Dec(IntervalCode(s.Intervals())))),
    KV_READ("XI", One("XI", Flag(s.DispID()))),
    KV_READ("XL", One("XL", Dec(s.LunchBreak()))),
    KV_READ("XA", One("XA", Dec(s.AlarmSilence()))),
    KV_READ("XB", One("XB", Dec(s.Confermation()))),
    KV_READ("XW", One("XW", Dec(s.LogOverWrite()))),
    KV_READ("XT", One("XT", HexByte(s.LcdBackLight()))),
    KV_READ("UL", One("UL", HexText(s.LcdContrast()))),
    KV_READ("AT", One("AT", Dec(s.AlarmO2()))),
    KV_READ("XC", One("XC", Dec(s.LogaClear()))),
    KV_READ("AL", One("AL", HexText(s.UsePasswd()))),
    KV_READ("AQ", One("AQ", s.Password())),
    KV_READ("SJ", One("SJ", Dec(s.AutoZero()))),
    KV_READ("LF", One("LF", Dec(s.ConvFc()))),
    KV_READ("HB", One("HB", Dec(s.Battery()))),
    KV_READ("UV", One("UV", Dec(s.LogoDisp()))),
    KV_READ("AF", One("AF", Dec(s.AFapDisp()))),
    KV_READ("UI", One("UI", Dec(s.UIgasDisp()))),
    KV_READ("UW", One("UW", Dec(s.UWdateDisp()))),
    KV_READ("XD", One("XD", Dec(s.RemainTimeDisp()))),
    KV_READ("BN", One("BN", s.BNuserLogoName())),
    KV_READ("XE", ReplyText("XE", 'R', {Dec(s.MEDisp()), Dec(s.AliveDisp())})),
    KV_READ("SG", ReplyText("SG", 'R', {Dec(s.DemandZero()), Dec(s.DispSpanFc())})),
    KV_READ("LP", ReplyText("LP", 'R', {Dec(s.HcMode()), Dec(s.CurrHc())})),
    KV_READ("WB", ReplyText("WB", 'R',
                            {HexText(s.LBMode()), HexText(s.BarHoleTime()), Dec(s.LeakBeep())})),
    KV_READ("HH", HexTable("HH", 2, [&](int i) { return s.HH_(i); })),
    KV_READ("HE", HexTable("HE", 3, [&](int i) { return s.HE_(i); })),
    KV_READ("RP", HexTable("RP", 2, [&](int i) { return s.RP_(i); })),
    KV_READ("SI", HexTable("SI", 4, [&](int i) { return s.SI_(i); })),
    KV_READ("SZ", HexTable("SZ", 9, [&](int i) { return s.SZ_(i); })),
    KV_READ("S1", HexTable("S1", 7, [&](int i) { return s.S1_(i); })),
    KV_READ("HA", HexTable("HA", 14, [&](int i) { return s.AnalogValue(i); })),
    KV_READ("H2", HexTable("H2", 12, [&](int i) { return s.AnalogValue(14 + i); })),
};
#undef KV_READ

}  // namespace

std::span<const ReadRow> DeviceReadRows() { return kDeviceReads; }

ReadBuilder FindReadBuilder(std::string_view code) {
  for (const auto rows : {DeviceReadRows(), ChannelReadRows()}) {
    for (const ReadRow& row : rows) {
      if (row.code == code) return row.build;
    }
  }
  return nullptr;
}

}  // namespace kv::sim
