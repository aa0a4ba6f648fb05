#pragma once
// JSON texts (kvmaint's --json output, the details of history events).
// Record texts are Latin-1 bytes; JSON is UTF-8, so strings are converted here.
#include <string>
#include <string_view>

#include "rules/settings_view.h"

namespace kv::rules {

// A quoted, escaped JSON string of Latin-1 text.
std::string JsonString(std::string_view latin1);
// A typed JSON value: null, true/false, a whole number, a float in its
// shortest exact form (null when not finite), or a string.
std::string JsonValue(const ViewValue& value);

}  // namespace kv::rules
