#include "common/printable_text.h"

namespace kv {
namespace {

bool IsControl(unsigned char c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

}  // namespace

std::string PrintableText(std::string_view text, bool keepLineBreaks) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (!IsControl(byte) || (keepLineBreaks && (c == '\n' || c == '\t'))) {
      shown += c;
      continue;
    }
    shown += "\\x";
    shown += kHex[byte >> 4];
    shown += kHex[byte & 0xF];
  }
  return shown;
}

}  // namespace kv
