#pragma once
// Pieces the dump transactions share.
#include <cstdint>
#include <string>

#include "link/transactions_dump.h"

namespace kv {

// `value` as `digits` uppercase hexadecimal digits, zero-padded.
std::string HexDigits(std::uint64_t value, int digits);

inline DumpFiles& FilesOf(const DumpOptions& options) {
  return options.files != nullptr ? *options.files : DiskDumpFiles();
}

// A failed dump: Status Ready and "failed ".
void ReportDumpFailed(uclTzif& link);

}  // namespace kv
