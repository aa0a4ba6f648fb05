#include "link/channel_descriptions.h"

#include <array>
#include <span>
#include <string_view>

#include "protocol/reply_sink.h"

namespace kv {
namespace {

// The places come before the names and levels: values are scaled by them.
constexpr std::array<std::string_view, 8> kReads{"IT,R,", "GP,R,", "GJ,R,", "GF,R,",
                                                 "FL,R,", "UG,R,", "A1,R,", "A2,R,"};
constexpr std::size_t kDescriptionReads = 5;

}  // namespace

Transaction ReadChannelDescriptions(uclTzif& link, clsInstrument& record, ChannelReads what) {
  const bool ok = co_await ReadChannels(link, record, what);
  co_return ok;
}

Task<bool> ReadChannels(uclTzif& link, clsInstrument& record, ChannelReads what) {
  const std::span<const std::string_view> reads =
      what == ChannelReads::Descriptions ? std::span(kReads).first(kDescriptionReads)
                                         : std::span(kReads);
  ReplySink sink(&record);
  for (const std::string_view command : reads) {
    const LinkStatus ended = co_await link.SendAndWait(sink, command, LinkStatus::ReadWaiting);
    if (ended != LinkStatus::Complete) co_return false;
  }
  co_return true;
}

}  // namespace kv
