#include "e2e_support.h"

#include <csignal>

namespace kv::e2e {

Simulator::Simulator(const std::vector<std::string>& options)
    : process_([&options] {
        std::vector<std::string> argv{KV_KVSIM_PATH};
        argv.insert(argv.end(), options.begin(), options.end());
        return argv;
      }()) {
  if (!process_.Started()) return;
  device_ = process_.ReadLine(10s).value_or("");
}

int Simulator::Stop() {
  process_.Signal(SIGTERM);
  return process_.Finish(10s).exitCode;
}

ProgramResult Kvmaint(const std::vector<std::string>& args) {
  std::vector<std::string> argv{KV_KVMAINT_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProgram(argv);
}

}  // namespace kv::e2e
