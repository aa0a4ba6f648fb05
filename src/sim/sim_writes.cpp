// Writes that change a setting: applied to the settings, then acknowledged.
// The acknowledgement is the request text itself, the form the program checks
// (for some codes it compares the whole frame with the line it sent), values
// in decimal where the line carries them so. A write the instrument cannot
// apply changes nothing and is refused with NAK.
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

// Sensor types and zero suppress: written in decimal (reported in hexadecimal
// by the read replies), stored as sent and echoed as sent. Unlike the file's
// rules, "@" here is a channel without a sensor (value 16) for both.
using ChannelSetter = bool (clsInstrument::*)(int, Integer);

template <ChannelSetter set>
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
  for (int k = 0; k < kSensorChannels; ++k) {
    [[maybe_unused]] const bool stored =
        (d.Settings().*set)(k, values[static_cast<std::size_t>(k)]);
  }
  d.SettleDerived();
  return std::string(commandText);
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
    "UV", "AF", "UI", "UW", "BN", "XE", "XD", "LR", "AQ", "FF", "G1", "HB", "SG", "XB", "AL",
    "WB"};

constexpr auto kSettingWrites = [] {
  std::array<CommandRow, kFileRuleCodes.size() + 6> rows{};
  std::size_t n = 0;
  for (const char* code : kFileRuleCodes) rows[n++] = {code, 'W', ApplyAndEcho};
  rows[n++] = {"IT", 'W', ChannelCodesWrite<&clsInstrument::SetGasType>};
  rows[n++] = {"US", 'W', ChannelCodesWrite<&clsInstrument::SetZeroForce>};
  rows[n++] = {"IN", 'W', IdentityWrite<&clsInstrument::SetSerialNo>};
  rows[n++] = {"HN", 'W', IdentityWrite<&clsInstrument::SetDummySerial>};
  rows[n++] = {"RP", 'W', HexGroupWrite<&clsInstrument::SetRP_, 2>};
  rows[n++] = {"SI", 'W', HexGroupWrite<&clsInstrument::SetSI_, 4>};
  return rows;
}();

}  // namespace

std::span<const CommandRow> SettingWriteRows() { return kSettingWrites; }

}  // namespace kv::sim
