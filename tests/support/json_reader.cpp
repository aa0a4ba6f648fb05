#include "json_reader.h"

#include <cctype>
#include <cstdlib>

namespace kv::testsupport {
namespace {

const Json kNull;

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<Json> Document() {
    std::optional<Json> value = Value();
    SkipBlanks();
    if (!value || pos_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])) != 0) ++pos_;
  }
  bool Take(char c) {
    SkipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  bool TakeWord(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  std::optional<Json> Value() {
    SkipBlanks();
    if (pos_ >= text_.size()) return std::nullopt;
    Json value;
    const char c = text_[pos_];
    if (c == '{') return Object();
    if (c == '[') return Array();
    if (c == '"') {
      std::optional<std::string> text = String();
      if (!text) return std::nullopt;
      value.kind = Json::Kind::String;
      value.text = std::move(*text);
      return value;
    }
    if (TakeWord("null")) return value;
    for (const bool word : {true, false}) {
      if (TakeWord(word ? "true" : "false")) {
        value.kind = Json::Kind::Bool;
        value.boolean = word;
        return value;
      }
    }
    const std::string rest(text_.substr(pos_, 40));
    char* end = nullptr;
    value.number = std::strtod(rest.c_str(), &end);
    if (end == rest.c_str()) return std::nullopt;
    pos_ += static_cast<std::size_t>(end - rest.c_str());
    value.kind = Json::Kind::Number;
    return value;
  }

  std::optional<std::string> String() {
    if (!Take('"')) return std::nullopt;
    std::string text;
    while (pos_ < text_.size() && text_[pos_] != '"') {
      char c = text_[pos_++];
      if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
      if (c == '\\') {
        if (pos_ >= text_.size()) return std::nullopt;
        c = text_[pos_++];
        if (c == 'n') c = '\n';
        if (c == 't') c = '\t';
        if (c == 'u') {  // only the control characters kvmaint escapes
          if (pos_ + 4 > text_.size()) return std::nullopt;
          c = static_cast<char>(std::strtol(std::string(text_.substr(pos_, 4)).c_str(), nullptr, 16));
          pos_ += 4;
        }
      }
      text += c;
    }
    if (!Take('"')) return std::nullopt;
    return text;
  }

  std::optional<Json> Array() {
    Json value;
    value.kind = Json::Kind::Array;
    Take('[');
    if (Take(']')) return value;
    do {
      std::optional<Json> item = Value();
      if (!item) return std::nullopt;
      value.items.push_back(std::move(*item));
    } while (Take(','));
    if (!Take(']')) return std::nullopt;
    return value;
  }

  std::optional<Json> Object() {
    Json value;
    value.kind = Json::Kind::Object;
    Take('{');
    if (Take('}')) return value;
    do {
      SkipBlanks();
      std::optional<std::string> key = String();
      if (!key || !Take(':')) return std::nullopt;
      std::optional<Json> member = Value();
      if (!member) return std::nullopt;
      value.keys.push_back(std::move(*key));
      value.values.push_back(std::move(*member));
    } while (Take(','));
    if (!Take('}')) return std::nullopt;
    return value;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

const Json& Json::operator[](std::string_view key) const {
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] == key) return values[i];
  }
  return kNull;
}

const Json& Json::operator[](std::size_t index) const {
  return index < items.size() ? items[index] : kNull;
}

std::optional<Json> ParseJson(std::string_view text) { return Reader(text).Document(); }

}  // namespace kv::testsupport
