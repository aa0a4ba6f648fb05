#pragma once
// kvmaint's command line, callable in-process (the tests parse through it).
#include <QStringList>
#include <string_view>

namespace kv::cli {

inline constexpr std::string_view kVersion = "1.0.0";

// Runs `arguments` (the program name first) and returns the exit status.
int RunKvmaint(const QStringList& arguments);

}  // namespace kv::cli
