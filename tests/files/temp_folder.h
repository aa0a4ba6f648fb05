#pragma once
// Moved to the shared test support; kept so that older includes still build.
#include "support/temp_folder.h"

namespace kv::testing_support {
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;
}  // namespace kv::testing_support
