// Writes that change a setting: applied to the settings, then acknowledged.
// The acknowledgement is mostly the request text itself, the form the program
// checks (for some codes it compares the whole frame with the line it sent);
// a few settings are confirmed in the instrument's reply form instead. A write
// the instrument cannot apply changes nothing and is refused with NAK.
#include <array>
#include <utility>
#include <vector>

#include "protocol/codecs.h"
#include "protocol/field_parse.h"
#include "protocol/framing.h"
#include "sim/sim_apply.h"
#include "sim/sim_faults.h"
#include "sim/sim_fields.h"
#include "sim/sim_handlers.h"

namespace kv::sim {
namespace {

constexpr std::string_view kNoSensor = "@";
constexpr Integer kNoSensorCode = 16;  // GasType and ZeroForce of an empty slot

std::vector<std::string_view> SplitFields(std::string_view data) {
  std::vector<std::string_view> fields;
  while (!data.empty()) {
    const auto comma = data.find(',');
    fields.push_back(data.substr(0, comma));
    if (comma == std::string_view::npos) break;
    data.remove_prefix(comma + 1);
  }
  return fields;
}

std::string Refuse(std::string_view commandText) {
  return ControlReply(commandText.substr(0, 2), commandText[3], kNAK);
}

bool Apply(SimDevice& d, std::string_view commandText) {
  // Applied to a copy: a line failing half-way must leave nothing behind.
  clsInstrument changed = d.Settings();
  if (!ApplyWriteRecord(changed, commandText, nullptr)) return false;
  if (!d.Options().storeWrongCode.empty() && commandText.starts_with(d.Options().storeWrongCode)) {
    StoreOneSettingWrongly(d.Settings(), changed);
  }
  d.Settings() = std::move(changed);
  d.SettleDerived();
  return true;
}

std::string ApplyAndEcho(SimDevice& d, std::string_view commandText, std::string_view) {
  return Apply(d, commandText) ? std::string(commandText) : Refuse(commandText);
}

// Settings the program writes in decimal but the instrument reports in
// hexadecimal (as in its read replies): stored as sent, and confirmed in the
// reply form, which is how the program decodes the acknowledgement.
using ChannelSetter = bool (clsInstrument::*)(int, Integer);
using ChannelGetter = Integer (clsInstrument::*)(int) const;

// Seven channel fields; "@" marks a channel without a sensor (value 16).
template <ChannelSetter set, ChannelGetter get>
std::string ChannelCodesWrite(SimDevice& d, std::string_view commandText, std::string_view data) {
  const auto fields = SplitFields(data);
  if (fields.size() < static_cast<std::size_t>(kSensorChannels)) return Refuse(commandText);
  std::array<Integer, kSensorChannels> values{};
  for (std::size_t k = 0; k < values.size(); ++k) {
    const auto value = Trim(fields[k]) == kNoSensor ? std::optional<Integer>(kNoSensorCode)
                                                    : ParseDec16(fields[k]);
    if (!value) return Refuse(commandText);
    values[k] = *value;
  }
  std::vector<std::string> confirmed;
  for (int k = 0; k < kSensorChannels; ++k) {
    [[maybe_unused]] const bool stored =
        (d.Settings().*set)(k, values[static_cast<std::size_t>(k)]);
    const Integer held = (d.Settings().*get)(k);
    confirmed.push_back(held == kNoSensorCode ? std::string(kNoSensor) : HexText(held));
  }
  d.SettleDerived();
  return ReplyText(commandText.substr(0, 2), 'W', confirmed);
}

template <void (clsInstrument::*set)(Integer), Integer (clsInstrument::*get)() const>
std::string DecimalSettingWrite(SimDevice& d, std::string_view commandText, std::string_view data) {
  const auto fields = SplitFields(data);
  const auto value = fields.empty() ? std::nullopt : ParseDec16(fields[0]);
  if (!value) return Refuse(commandText);
  (d.Settings().*set)(*value);
  d.SettleDerived();
  return ReplyText(commandText.substr(0, 2), 'W', {HexText((d.Settings().*get)())});
}

// The leak-beep settings arrive in decimal, as the program writes them; the
// instrument confirms them in its reply form (the first two in hexadecimal),
// which is how the program decodes the acknowledgement.
std::string LeakBeepWrite(SimDevice& d, std::string_view commandText, std::string_view data) {
  const auto fields = SplitFields(data);
  if (fields.size() < 3) return Refuse(commandText);
  const auto mode = ParseDec16(fields[0]), holeTime = ParseDec16(fields[1]),
             beep = ParseDec16(fields[2]);
  if (!mode || !holeTime || !beep) return Refuse(commandText);
  clsInstrument& s = d.Settings();
  s.SetLBMode(*mode);
  s.SetBarHoleTime(*holeTime);
  s.SetLeakBeep(*beep);
  d.SettleDerived();
  return ReplyText("WB", 'W', {HexText(s.LBMode()), HexText(s.BarHoleTime()), Dec(s.LeakBeep())});
}

// The identity and the two D/A groups are not maintenance file records; the
// instrument stores them itself.
using TextSetter = void (clsInstrument::*)(Text);
template <TextSetter set>
std::string IdentityWrite(SimDevice& d, std::string_view commandText, std::string_view data) {
  const auto fields = SplitFields(data);
  (d.Settings().*set)(fields.empty() ? Text{} : Text(fields[0]));
  d.SettleDerived();
  return std::string(commandText);
}

using TableSetter = bool (clsInstrument::*)(int, Integer);
template <TableSetter set, int count>
std::string HexGroupWrite(SimDevice& d, std::string_view commandText, std::string_view data) {
  const auto fields = SplitFields(data);
  if (fields.size() < static_cast<std::size_t>(count)) return Refuse(commandText);
  std::array<Integer, count> values{};
  for (int i = 0; i < count; ++i) {
    const auto value = ParseHex16(fields[static_cast<std::size_t>(i)]);
    if (!value) return Refuse(commandText);
    values[static_cast<std::size_t>(i)] = *value;
  }
  for (int i = 0; i < count; ++i) {
    [[maybe_unused]] const bool stored =
        (d.Settings().*set)(i, values[static_cast<std::size_t>(i)]);
  }
  d.SettleDerived();
  return std::string(commandText);
}

// Writes applied with the maintenance data file's rules and echoed.
constexpr std::array kFileRuleCodes = {
    "XZ", "XS", "LO", "LN", "LB", "LA", "LS", "LI", "LJ", "XV", "GN", "GP", "GF", "GD", "GU",
    "GJ", "UG", "AP", "XP", "XI", "SD", "SM", "SC", "XL", "XA", "XW", "XT", "UL", "A1", "A2",
    "AS", "AW", "FL", "FH", "SA", "UZ", "AT", "UJ", "LP", "XC", "AC", "HH", "HE", "SJ", "LF",
    "UV", "AF", "UI", "UW", "BN", "XE", "XD", "LR", "AQ", "FF", "G1", "HB", "SG"};

constexpr auto kSettingWrites = [] {
  std::array<CommandRow, kFileRuleCodes.size() + 9> rows{};
  std::size_t n = 0;
  for (const char* code : kFileRuleCodes) rows[n++] = {code, 'W', ApplyAndEcho};
  rows[n++] = {"IT", 'W', ChannelCodesWrite<&clsInstrument::SetGasType, &clsInstrument::GasType>};
  rows[n++] = {"US", 'W',
               ChannelCodesWrite<&clsInstrument::SetZeroForce, &clsInstrument::ZeroForce>};
  rows[n++] = {"XB", 'W',
               DecimalSettingWrite<&clsInstrument::SetConfermation, &clsInstrument::Confermation>};
  rows[n++] = {"AL", 'W',
               DecimalSettingWrite<&clsInstrument::SetUsePasswd, &clsInstrument::UsePasswd>};
  rows[n++] = {"WB", 'W', LeakBeepWrite};
  rows[n++] = {"IN", 'W', IdentityWrite<&clsInstrument::SetSerialNo>};
  rows[n++] = {"HN", 'W', IdentityWrite<&clsInstrument::SetDummySerial>};
  rows[n++] = {"RP", 'W', HexGroupWrite<&clsInstrument::SetRP_, 2>};
  rows[n++] = {"SI", 'W', HexGroupWrite<&clsInstrument::SetSI_, 4>};
  return rows;
}();

}  // namespace

std::span<const CommandRow> SettingWriteRows() { return kSettingWrites; }

}  // namespace kv::sim
