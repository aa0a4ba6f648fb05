#pragma once
// Help text shared by the commands that wait for a long instrument operation.
#include <string>

#include "link/transactions.h"

namespace kv::cli {

inline std::string CompletionPollHelp() {
  return "The instrument is polled until it reports the operation finished, at most " +
         std::to_string(kCompletionPollLimitSeconds) + " s.";
}

}  // namespace kv::cli
