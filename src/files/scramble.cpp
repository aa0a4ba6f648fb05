#include "files/scramble.h"

namespace kv {
namespace {

constexpr int kBase = 70;  // "F"
constexpr int kByteValues = 256;

}  // namespace

std::string ScrambleLine(std::string_view recordText) {
  std::string scrambled;
  scrambled.reserve(recordText.size() * 2);
  for (std::size_t i = 0; i < recordText.size(); ++i) {
    const auto sum = static_cast<long>(i) + static_cast<unsigned char>(recordText[i]);
    // Record texts stay far below the length at which the high character
    // would leave the byte range.
    scrambled += static_cast<char>((kBase + sum % 16) & 0xFF);
    scrambled += static_cast<char>((kBase + sum / 16) & 0xFF);
  }
  return scrambled;
}

std::optional<std::string> UnscrambleLine(std::string_view scrambled) {
  std::string text;
  text.reserve(scrambled.size() / 2);
  for (std::size_t k = 0; k + 1 < scrambled.size(); k += 2) {
    const long low = static_cast<unsigned char>(scrambled[k]) - kBase;
    const long high = static_cast<unsigned char>(scrambled[k + 1]) - kBase;
    const long code = high * 16 + (low & 15) - static_cast<long>(k / 2);
    if (code < 0 || code >= kByteValues) {
      return std::nullopt;
    }
    text += static_cast<char>(code);
  }
  return text;
}

}  // namespace kv
