#pragma once
// A reading or level as the grids, the CSV tables and `kvmaint live` show it.
#include <string>

namespace kv {

// The special codes (-101 "-----", -121 "*****", -130 "Fail(Air)" ...) and the
// raw codes 65535, 65278 and 56797 give their texts; any other value is shown
// with `decimals` places (0 when decimals is outside 0..3), halves rounded away
// from zero.
std::string FormatGasValue(float value, int decimals);

}  // namespace kv
