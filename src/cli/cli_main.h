#pragma once
// kvmaint's command line, callable in-process (the tests parse through it).
#include <QStringList>
#include <string_view>

#include "cli/cli_context.h"

namespace kv::cli {

inline constexpr std::string_view kVersion = "1.0.0";

// Runs `arguments` (the program name first) with the streams and sessions of
// `context` and returns the exit status.
int RunKvmaint(const QStringList& arguments, const CliContext& context);
// The same with the process's own (ProcessContext).
int RunKvmaint(const QStringList& arguments);

}  // namespace kv::cli
