#include "cli/channel_names.h"

#include "rules/setting_names.h"

namespace kv::cli {
std::string ChannelName(const clsInstrument& record, int channel) {
  const std::string name = rules::GridGasName(record, channel);
  return name.empty() ? "ch" + std::to_string(channel + 1) : name;
}

}  // namespace kv::cli
