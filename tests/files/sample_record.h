#pragma once
// Moved to the shared test support; kept so that older includes still build.
#include "support/sample_record.h"

namespace kv::testing_support {
using testsupport::SampleRecord;
}  // namespace kv::testing_support
