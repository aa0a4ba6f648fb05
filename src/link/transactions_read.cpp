// The full read and the latest history record.
#include "link/read_commands.h"
#include "link/transactions.h"
#include "protocol/write_lines.h"

namespace kv {
namespace {

// Hands the record's collected message to the listener once, then forgets it.
template <typename Raise>
void RelayMessage(clsInstrument& record, Raise raise) {
  if (record.MessageString().empty()) return;
  raise(record.MessageString());
  record.SetMessageString("");
}

}  // namespace

Transaction GetInstrument(uclTzif& link, clsInstrument& record) {
  const bool ok = co_await ReadInstrument(link, record);
  co_return ok;
}

Task<bool> ReadInstrument(uclTzif& link, clsInstrument& record) {
  link.SetCancel(false);
  ReplySink sink(&record);
  record.ClearDatas();
  record.SetFailLine("");
  SetRatioChannels(record);

  bool ok = true;
  int done = 0;
  for (const std::string& command : ReadCommands()) {
    if (command.empty()) continue;
    const LinkStatus ended = co_await link.SendAndWait(sink, command, LinkStatus::ReadWaiting);
    RelayMessage(record, [&link](const std::string& text) { link.Events().InstMessage(text); });
    if (ended != LinkStatus::Complete) {
      ok = false;
      break;
    }
    link.Events().Progress(++done, kReadCommandLines);
  }
  if (ok) SetRatioChannels(record);
  record.SetChange_SubBoard(false);
  co_return ok;
}

Transaction GetLatestHistory(uclTzif& link, clsInstrument& record) {
  ReplySink sink(&record);
  const std::string line = ReadLineSO();
  const LinkStatus ended = co_await link.SendAndWait(sink, line, LinkStatus::ReadWaiting);
  RelayMessage(record, [&link](const std::string& text) { link.Events().InterMessage(text); });
  if (ended != LinkStatus::Complete) {
    link.SetStatus(LinkStatus::Ready);
    co_return false;
  }
  co_return true;
}

}  // namespace kv
