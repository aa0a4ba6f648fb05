#pragma once
// kvmaint's --json texts: the JSON helpers of src/rules/json_text.h.
#include "rules/json_text.h"

namespace kv::cli {

using rules::JsonString;
using rules::JsonValue;

}  // namespace kv::cli
