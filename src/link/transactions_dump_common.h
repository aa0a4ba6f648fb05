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

// A file the dump could not create or write: its reason to options.onFileError
// (the files' own, or `what` + `path`).
void ReportDumpFileError(const DumpOptions& options, const std::string& path, const std::string& what);

// A failed dump: Status Ready and "failed ".
void ReportDumpFailed(uclTzif& link);

}  // namespace kv
