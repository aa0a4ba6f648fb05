#pragma once
// Moved to the shared test support; kept so that older includes still build.
#include "support/child_process.h"

namespace kv::e2e {
using namespace std::chrono_literals;
using testsupport::ChildProcess;
using testsupport::kChildLimit;
using testsupport::ProgramResult;
using testsupport::RunProgram;
}  // namespace kv::e2e
