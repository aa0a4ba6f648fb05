#pragma once
// Moved to the shared test support; kept so that older includes still build.
#include "support/sample_record.h"

namespace kv::test {
inline clsInstrument KnownRecord() { return testsupport::GridRecord(); }
}  // namespace kv::test
