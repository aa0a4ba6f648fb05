#include "link/serial_settings.h"

#include <array>
#include <charconv>
#include <utility>

namespace kv {

namespace {

constexpr std::size_t kFieldCount = 4;

std::string_view Trim(std::string_view field) {
  while (!field.empty() && field.front() == ' ') {
    field.remove_prefix(1);
  }
  while (!field.empty() && field.back() == ' ') {
    field.remove_suffix(1);
  }
  return field;
}

std::optional<int> ParsePositive(std::string_view field) {
  int value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (field.empty() || error != std::errc() || end != field.data() + field.size() || value <= 0) {
    return std::nullopt;
  }
  return value;
}

std::optional<Parity> ParseParity(std::string_view field) {
  constexpr std::array<std::pair<char, Parity>, 5> kLetters = {{
      {'n', Parity::None}, {'e', Parity::Even}, {'o', Parity::Odd},
      {'m', Parity::Mark}, {'s', Parity::Space},
  }};
  if (field.size() != 1) {
    return std::nullopt;
  }
  const char letter = static_cast<char>(field.front() | 0x20);  // lower case
  for (const auto& [candidate, parity] : kLetters) {
    if (candidate == letter) {
      return parity;
    }
  }
  return std::nullopt;
}

std::optional<StopBits> ParseStopBits(std::string_view field) {
  if (field == "1") return StopBits::One;
  if (field == "1.5") return StopBits::OneAndHalf;
  if (field == "2") return StopBits::Two;
  return std::nullopt;
}

}  // namespace

std::optional<SerialSettings> ParseSerialSettings(std::string_view text) {
  std::array<std::string_view, kFieldCount> fields;
  std::size_t count = 0;
  while (true) {
    const std::size_t comma = text.find(',');
    if (count == kFieldCount) {
      return std::nullopt;  // more fields than four
    }
    fields[count++] = Trim(text.substr(0, comma));
    if (comma == std::string_view::npos) {
      break;
    }
    text.remove_prefix(comma + 1);
  }
  if (count != kFieldCount) {
    return std::nullopt;
  }
  const auto baud = ParsePositive(fields[0]);
  const auto parity = ParseParity(fields[1]);
  const auto dataBits = ParsePositive(fields[2]);
  const auto stopBits = ParseStopBits(fields[3]);
  if (!baud || !parity || !dataBits || *dataBits < 5 || *dataBits > 8 || !stopBits) {
    return std::nullopt;
  }
  return SerialSettings{*baud, *parity, *dataBits, *stopBits};
}

}  // namespace kv
