// The full read, the latest history record, the serial number alone and the
// current readings.
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
  const bool ok = co_await ReadLatestCalibrations(link, record);
  co_return ok;
}

Task<bool> ReadLatestCalibrations(uclTzif& link, clsInstrument& record) {
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

Transaction ReadSerialNumber(uclTzif& link, clsInstrument& record) {
  const bool ok = co_await ReadSerial(link, record);
  co_return ok;
}

Task<bool> ReadSerial(uclTzif& link, clsInstrument& record) {
  ReplySink sink(&record);
  const LinkStatus ended = co_await link.SendAndWait(sink, "IN,R,", LinkStatus::ReadWaiting);
  const bool ok = ended == LinkStatus::Complete;
  co_return ok;
}

Transaction PollReadings(uclTzif& link, clsInstrument& record, int count, const bool* stop,
                         std::function<void()> onReadings) {
  const bool ok = co_await PollDensities(link, record, count, stop, onReadings);
  co_return ok;
}

Task<bool> PollDensities(uclTzif& link, clsInstrument& record, int count, const bool* stop,
                         const std::function<void()>& onReadings) {
  ReplySink sink(&record);
  const auto stopped = [stop] { return stop != nullptr && *stop; };
  for (int polls = 0; count == 0 || polls < count; ++polls) {
    if (stopped()) break;
    if (polls > 0) {
      co_await link.WaitTicks(uclTzif::kDenstyPollTicks);
      if (stopped()) break;
    }
    const LinkStatus ended =
        co_await link.SendAndWait(sink, uclTzif::kDenstyCommand, LinkStatus::ReadWaiting);
    if (ended != LinkStatus::Complete) co_return false;
    if (onReadings) onReadings();
  }
  co_return true;
}

}  // namespace kv
