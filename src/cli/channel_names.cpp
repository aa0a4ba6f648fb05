#include "cli/channel_names.h"

#include <array>
#include <string_view>

#include "rules/edit_check.h"

namespace kv::cli {
namespace {

// The places come before the summary: its values are scaled by them.
constexpr std::array<std::string_view, 5> kDescriptionReads{"IT,R,", "GP,R,", "GJ,R,", "GF,R,",
                                                            "FL,R,"};

}  // namespace

Transaction ReadChannelDescriptions(uclTzif& link, clsInstrument& record) {
  ReplySink sink(&record);
  for (const std::string_view command : kDescriptionReads) {
    const LinkStatus ended = co_await link.SendAndWait(sink, command, LinkStatus::ReadWaiting);
    if (ended != LinkStatus::Complete) co_return false;
  }
  co_return true;
}

std::string ChannelName(const clsInstrument& record, int channel) {
  const std::string name(rules::Trim(record.GasName(channel)));
  return name.empty() ? "ch" + std::to_string(channel + 1) : name;
}

}  // namespace kv::cli
