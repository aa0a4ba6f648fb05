#include "sim/sim_options.h"

#include <array>
#include <optional>

#include "protocol/field_parse.h"

namespace kv::sim {
namespace {

constexpr long kLargestDelayMs = 600000;
constexpr long kLongestPowerOffSeconds = 86400;
constexpr long kLongestCalibrationAgeDays = 36500;

std::optional<long> Positive(std::string_view text) {
  const auto value = ParseDec32(text);
  if (!value || *value < 1) return std::nullopt;
  return *value;
}

struct ReplyFault {
  std::string_view flag;
  FaultKind kind;
};
constexpr std::array<ReplyFault, 4> kReplyFaults{{
    {"--drop", FaultKind::Drop},
    {"--corrupt", FaultKind::Corrupt},
    {"--garbage", FaultKind::Garbage},
    {"--hangup", FaultKind::HangUp},
}};

struct PathOption {
  std::string_view flag;
  std::string SimOptions::*path;
};
constexpr std::array<PathOption, 7> kPathOptions{{
    {"--line-out", &SimOptions::lineOutFolder},
    {"--state", &SimOptions::statePath},
    {"--state-out", &SimOptions::stateOutPath},
    {"--link", &SimOptions::linkPath},
    {"--trace", &SimOptions::tracePath},
    {"--flash-out", &SimOptions::flashOutPath},
    {"--fram-out", &SimOptions::framOutPath},
}};

// "N:MS" of --delay.
std::optional<Fault> ParseDelay(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto reply = Positive(text.substr(0, colon));
  const auto ms = ParseDec32(text.substr(colon + 1));
  if (!reply || !ms || *ms < 0 || *ms > kLargestDelayMs) return std::nullopt;
  return Fault{FaultKind::Delay, *reply, static_cast<int>(*ms)};
}

std::string Bad(std::string_view flag, std::string_view value) {
  return "invalid value '" + std::string(value) + "' for " + std::string(flag);
}

}  // namespace

ParsedOptions ParseSimOptions(std::span<const std::string_view> args) {
  ParsedOptions parsed;
  SimOptions& o = parsed.options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view flag = args[i];
    if (flag == "--help" || flag == "-h") {
      o.help = true;
      continue;
    }
    if (flag == "--verbose" || flag == "-v") {
      o.verbose = true;
      continue;
    }
    if (flag == "--summary") {
      o.summary = true;
      continue;
    }
    if (flag == "--noise-before-reply") {
      o.faults.SetNoiseBeforeReply(std::string(1, '\0'));
      continue;
    }
    if (flag == "--line") {
      // Every following argument up to the next option.
      while (i + 1 < args.size() && !args[i + 1].starts_with("--")) {
        o.linePaths.emplace_back(args[++i]);
      }
      if (o.linePaths.empty()) {
        parsed.error = "missing value for --line";
        return parsed;
      }
      continue;
    }
    if (i + 1 >= args.size()) {
      parsed.error = flag.rfind("--", 0) == 0 ? "missing value for " + std::string(flag)
                                              : "unknown argument '" + std::string(flag) + "'";
      return parsed;
    }
    const std::string_view value = args[++i];
    bool known = false;
    for (const PathOption& option : kPathOptions) {
      if (flag == option.flag) {
        o.*option.path = std::string(value);
        known = true;
      }
    }
    for (const ReplyFault& fault : kReplyFaults) {
      if (flag != fault.flag) continue;
      const auto reply = Positive(value);
      if (!reply) {
        parsed.error = Bad(flag, value);
        return parsed;
      }
      o.faults.Add({fault.kind, *reply});
      known = true;
    }
    if (flag == "--delay") {
      const auto delay = ParseDelay(value);
      if (!delay) {
        parsed.error = Bad(flag, value);
        return parsed;
      }
      o.faults.Add(*delay);
      known = true;
    } else if (flag == "--dump-pause") {
      // The same N:MS as --delay, N counting bytes of the stream.
      const auto pause = ParseDelay(value);
      if (!pause) {
        parsed.error = Bad(flag, value);
        return parsed;
      }
      o.dumpFaults.pauseAfter = static_cast<std::size_t>(pause->reply);
      o.dumpFaults.pauseMs = pause->delayMs;
      known = true;
    } else if (flag == "--baud") {
      const auto baud = Positive(value);
      if (!baud) {
        parsed.error = Bad(flag, value);
        return parsed;
      }
      o.baud = *baud;
      known = true;
    } else if (flag == "--calibrated-days-ago") {
      const auto days = ParseDec32(value);
      if (!days || *days < 0 || *days > kLongestCalibrationAgeDays) {
        parsed.error = Bad(flag, value);
        return parsed;
      }
      o.calibratedDaysAgo = static_cast<int>(*days);
      known = true;
    } else if (flag == "--power-on-after") {
      const auto seconds = Positive(value);
      if (!seconds || *seconds > kLongestPowerOffSeconds) {
        parsed.error = Bad(flag, value);
        return parsed;
      }
      o.powerOnAfterSeconds = static_cast<int>(*seconds);
      known = true;
    } else if (flag == "--dump-stop-after" || flag == "--dump-hangup-after") {
      const auto bytes = ParseDec32(value);
      if (!bytes || *bytes < 0) {
        parsed.error = Bad(flag, value);
        return parsed;
      }
      o.dumpFaults.stopAfter = static_cast<std::size_t>(*bytes);
      o.dumpFaults.hangUp = flag == "--dump-hangup-after";
      known = true;
    } else if (flag == "--busy-polls") {
      const auto polls = ParseDec16(value);
      if (!polls || *polls < 0) {
        parsed.error = Bad(flag, value);
        return parsed;
      }
      o.device.busyPolls = *polls;
      known = true;
    } else if (flag == "--store-wrong") {
      if (value.size() != 2) {
        parsed.error = Bad(flag, value);
        return parsed;
      }
      o.device.storeWrongCode = std::string(value);
      known = true;
    } else if (flag == "--refuse-write") {
      const auto colon = value.rfind(':');
      if (colon == std::string_view::npos || colon == 0 || value.size() - colon - 1 != 2) {
        parsed.error = Bad(flag, value);
        return parsed;
      }
      o.device.refuseWriteSerial = std::string(value.substr(0, colon));
      o.device.refuseWriteCode = std::string(value.substr(colon + 1));
      known = true;
    }
    if (!known) {
      parsed.error = "unknown option '" + std::string(flag) + "'";
      return parsed;
    }
  }
  if (!o.linePaths.empty() && !o.statePath.empty()) {
    parsed.error = "--line and --state exclude each other";
    return parsed;
  }
  if (!o.lineOutFolder.empty() && o.linePaths.empty()) {
    parsed.error = "--line-out needs --line";
    return parsed;
  }
  parsed.ok = true;
  return parsed;
}

std::string SimUsage() {
  return "Usage: kvsim [options]\n"
         "Simulated KORVIN instrument on a pseudo-terminal. The first line printed is the\n"
         "device path to open as the instrument's serial port. Runs until SIGTERM or SIGINT.\n"
         "After \"RO,W,\" it answers nothing until switched on again: SIGUSR1 or\n"
         "--power-on-after.\n"
         "\n"
         "  --state FILE.kvd      start with the settings of a maintenance data file\n"
         "  --state-out FILE.kvd  write the settings to a maintenance data file on exit\n"
         "  --link PATH           also make PATH a symbolic link to the device\n"
         "  --line FILE.kvd...    a line of instruments: start as the first; after each\n"
         "                        power off come back as the next (the last stays off);\n"
         "                        each takes its file's name as its serial number\n"
         "  --line-out DIR        on exit write each instrument of the line to\n"
         "                        DIR/<serial>.kvd\n"
         "  --calibrated-days-ago N  every fitted channel was last calibrated N days\n"
         "                        before the instrument's clock at start\n"
         "  --baud N              pace replies as a serial line of N baud (default: instant)\n"
         "  --power-on-after N    after power off (\"RO,W,\") answer again N seconds\n"
         "                        later (default: only on SIGUSR1)\n"
         "  --busy-polls N        completion polls answered 'not finished' (default 2)\n"
         "  --store-wrong CODE    acknowledge writes of CODE (\"GN\") but store one of\n"
         "                        their settings wrongly\n"
         "  --refuse-write SERIAL:CODE  the instrument with serial number SERIAL refuses\n"
         "                        writes of CODE (\"GN\") with NAK\n"
         "  --drop N              do not send the Nth reply\n"
         "  --corrupt N           send the Nth reply with a wrong checksum (a dump\n"
         "                        piece, which has none: one byte flipped)\n"
         "  --garbage N           send junk instead of the Nth reply\n"
         "  --delay N:MS          hold the Nth reply back MS milliseconds\n"
         "  --hangup N            close the line after the Nth reply (unplugged cable)\n"
         "  --noise-before-reply  send a NUL before every reply (infrared turnaround noise)\n"
         "  --flash-out FILE      write the flash image (4 MiB) to FILE at start\n"
         "  --fram-out FILE       write the FRAM image (8 KiB) to FILE at start\n"
         "  --dump-stop-after N   memory dumps stop sending after N bytes\n"
         "  --dump-hangup-after N memory dumps close the line after N bytes\n"
         "  --dump-pause N:MS     memory dumps fall silent for MS milliseconds after N bytes\n"
         "  --verbose             trace requests and replies on stderr\n"
         "  --summary             on exit say on stderr how many replies went out and\n"
         "                        how long they and their requests took on the line\n"
         "  --trace FILE          the same trace into FILE (created or truncated)\n"
         "  --help                show this text\n"
         "Replies are counted from 1, each 1024-byte piece of a dump one reply;\n"
         "fault options may be repeated.\n";
}

}  // namespace kv::sim
