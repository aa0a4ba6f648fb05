#pragma once
// A small JSON reader for checking kvmaint's --json output: the whole text
// must be one well-formed value, or nothing is returned.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv::testsupport {

struct Json {
  enum class Kind { Null, Bool, Number, String, Array, Object };
  Kind kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string text;  // UTF-8 as written
  std::vector<Json> items;
  // An object's members as parallel lists (a pair of an incomplete Json
  // cannot be a vector element).
  std::vector<std::string> keys;
  std::vector<Json> values;

  // The member `key` or the array item `index`; a null value when absent.
  const Json& operator[](std::string_view key) const;
  const Json& operator[](std::size_t index) const;
};

std::optional<Json> ParseJson(std::string_view text);

}  // namespace kv::testsupport
