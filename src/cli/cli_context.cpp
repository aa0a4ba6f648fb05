#include "cli/cli_context.h"

#include <iostream>

#include <unistd.h>

#include "cli/serial_session.h"

namespace kv::cli {
namespace {

const CliContext* g_current = nullptr;

}  // namespace

CliContext ProcessContext() {
  CliContext context;
  context.out = &std::cout;
  context.err = &std::cerr;
  context.in = &std::cin;
  context.stdinTerminal = ::isatty(STDIN_FILENO) == 1;
  context.stdoutTerminal = ::isatty(STDOUT_FILENO) == 1;
  context.stderrTerminal = ::isatty(STDERR_FILENO) == 1;
  context.makeSession = [](const LinkOptions&) -> std::unique_ptr<SessionServices> {
    return std::make_unique<SerialSession>();
  };
  return context;
}

const CliContext& CurrentContext() {
  if (g_current != nullptr) return *g_current;
  static const CliContext process = ProcessContext();
  return process;
}

ContextScope::ContextScope(const CliContext& context) : previous_(g_current) { g_current = &context; }

ContextScope::~ContextScope() { g_current = previous_; }

}  // namespace kv::cli
