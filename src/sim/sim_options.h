#pragma once
// The simulator's command line.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_device.h"
#include "sim/sim_dump.h"
#include "sim/sim_faults.h"

namespace kv::sim {

struct SimOptions {
  std::string statePath;     // --state FILE.kvd: initial settings
  std::string stateOutPath;  // --state-out FILE.kvd: settings written on exit
  std::string linkPath;      // --link PATH: symlink to the slave device
  std::string tracePath;     // --trace FILE: the trace of --verbose into a file
  std::vector<std::string> linePaths;  // --line FILE.kvd...: instruments one after another
  std::string lineOutFolder;           // --line-out DIR: each one's final state as DIR/<serial>.kvd
  long baud = 0;             // --baud N: pace replies as a line of N baud
  bool verbose = false;      // --verbose: trace to stderr
  bool summary = false;      // --summary: replies and their time on the line, on stderr at exit
  int calibratedDaysAgo = -1;  // --calibrated-days-ago N: every channel last calibrated N days ago; -1: as the state holds
  int powerOnAfterSeconds = 0;  // --power-on-after N: back on N s after power off; 0: on SIGUSR1 only
  bool help = false;         // --help
  SimDeviceOptions device;   // --busy-polls N, --store-wrong CODE, --refuse-write SERIAL:CODE
  FaultPlan faults;          // --drop/--corrupt/--garbage/--hangup N, --delay N:MS,
                             // --noise-before-reply
  // Memory dumps.
  std::string flashOutPath;  // --flash-out FILE: the flash image, written at start
  std::string framOutPath;   // --fram-out FILE: the FRAM image, written at start
  DumpFaults dumpFaults;     // --dump-stop-after N, --dump-hangup-after N, --dump-pause N:MS
};

struct ParsedOptions {
  bool ok = false;
  SimOptions options;
  std::string error;  // when not ok
};

// `args` excludes the program name.
ParsedOptions ParseSimOptions(std::span<const std::string_view> args);

std::string SimUsage();

}  // namespace kv::sim
