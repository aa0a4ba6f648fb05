#include "support/run_checks.h"

#include <gtest/gtest.h>

#include <sstream>

#include "files/kvd_reader.h"
#include "model/instrument_settings.h"

namespace kv::testsupport {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

namespace {

// A write request in a kvsim trace: "> " then the frame text "XS,W,...".
bool IsWriteRequest(const std::string& line) {
  return line.size() > 7 && line.compare(0, 2, "> ") == 0 && line.compare(4, 3, ",W,") == 0;
}

}  // namespace

std::set<std::string> WrittenCodes(const std::string& trace) {
  std::set<std::string> codes;
  for (const std::string& line : Lines(trace)) {
    if (IsWriteRequest(line)) codes.insert(line.substr(2, 2));
  }
  return codes;
}

std::size_t WrittenBytes(const std::string& trace) {
  std::size_t bytes = 0;
  for (const std::string& line : Lines(trace)) {
    if (IsWriteRequest(line)) bytes += line.size() - 2;
  }
  return bytes;
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

}  // namespace kv::testsupport
