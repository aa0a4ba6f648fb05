#pragma once
// Checks on what a kvmaint run left behind, shared by the in-process tests
// and the smoke tests on the real programs: its output lines, the writes in
// a simulator's trace, maintenance data files and the history database.
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "model/instrument.h"

namespace kv::testsupport {

std::vector<std::string> Lines(const std::string& text);

// The heads of the write requests in a simulator's trace ("> XS,W,02,..."
// gives "XS").
std::set<std::string> WrittenCodes(const std::string& trace);

// The bytes of those requests' frame texts: at a fixed baud rate what a
// send's time follows.
std::size_t WrittenBytes(const std::string& trace);

// A maintenance data file loaded into a fresh record; fails the test when the
// file does not load completely.
clsInstrument LoadRecord(const std::string& path);

// Describes every setting in which `a` and `b` differ, "Name(index)" each.
std::vector<std::string> DifferingSettings(const clsInstrument& a, const clsInstrument& b);

// The history database and its journal files in a data folder.
inline bool IsHistoryDatabase(const std::filesystem::path& path) {
  return path.filename().string().rfind("History.sqlite", 0) == 0;
}

}  // namespace kv::testsupport
