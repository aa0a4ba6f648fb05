#pragma once
// Moved to the shared test support; kept so that older includes still build.
#include "support/temp_folder.h"

namespace kv::sim::testing {
using TempDir = testsupport::TempFolder;
}  // namespace kv::sim::testing
