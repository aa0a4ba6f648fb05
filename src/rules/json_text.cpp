#include "rules/json_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kv::rules {
namespace {

struct ToJson {
  std::string operator()(std::monostate) const { return "null"; }
  std::string operator()(bool v) const { return v ? "true" : "false"; }
  std::string operator()(std::int64_t v) const { return std::to_string(v); }
  std::string operator()(float v) const {
    if (!std::isfinite(v)) return "null";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, v);
    return std::string(text, result.ptr);
  }
  std::string operator()(const std::string& v) const { return JsonString(v); }
};

}  // namespace

std::string JsonString(std::string_view latin1) {
  std::string json = "\"";
  for (const char c : latin1) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      json += escape;
    } else if (byte >= 0x80) {
      // Latin-1 is the first 256 code points: two UTF-8 bytes each.
      json += static_cast<char>(0xC0 | (byte >> 6));
      json += static_cast<char>(0x80 | (byte & 0x3F));
    } else {
      json += c;
    }
  }
  return json + "\"";
}

std::string JsonValue(const ViewValue& value) { return std::visit(ToJson{}, value); }

}  // namespace kv::rules
