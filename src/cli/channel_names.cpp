#include "cli/channel_names.h"

#include "rules/edit_check.h"

namespace kv::cli {
std::string ChannelName(const clsInstrument& record, int channel) {
  const std::string name(rules::Trim(record.GasName(channel)));
  return name.empty() ? "ch" + std::to_string(channel + 1) : name;
}

}  // namespace kv::cli
