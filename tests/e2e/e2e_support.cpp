#include "e2e_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "files/kvd_reader.h"
#include "model/instrument_settings.h"

namespace kv::e2e {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kvmaint-e2e-XXXXXX").string();
  if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

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

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

clsInstrument LoadRecord(const std::string& path) {
  clsInstrument record;
  const KvdLoadResult loaded = ReadMaintenanceFile(record, path);
  EXPECT_TRUE(loaded.complete) << path << ":" << loaded.stoppedAtLine << ": " << loaded.reason;
  return record;
}

std::vector<std::string> DifferingSettings(const clsInstrument& a, const clsInstrument& b) {
  std::vector<std::string> differing;
  for (const SettingInfo& setting : AllSettings()) {
    for (int i = 0; i < setting.count; ++i) {
      if (setting.get(a, i) != setting.get(b, i)) {
        differing.push_back(std::string(setting.name) + "(" + std::to_string(i) + ")");
      }
    }
  }
  return differing;
}

}  // namespace kv::e2e
