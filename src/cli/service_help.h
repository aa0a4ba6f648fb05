#pragma once
// Help text shared by the commands that wait for a long instrument operation.
#include <string>

#include "link/transactions.h"

namespace kv::cli {

inline std::string CompletionPollHelp() {
  return "The instrument is polled until it reports the operation finished, at most " +
         std::to_string(kCompletionPollLimitSeconds) + " s.";
}

// Help of the commands that ask before they act.
inline constexpr const char* kConfirmHelp =
    "\nAsks for confirmation on a terminal; without a terminal it refuses (exit\n"
    "status 2, nothing sent) unless --yes is given.";

}  // namespace kv::cli
