// An optional module's memory through the MM memory-transfer exchanges: a
// command, a pause of 2.3 s, then "MM,R," for the answer, which arrives as raw
// bytes while Status is BinaryTransfer.
#include <cmath>
#include <memory>

#include "common/messages.h"
#include "link/transactions_dump.h"
#include "link/transactions_dump_common.h"
#include "protocol/framing.h"

namespace kv {
namespace {

constexpr std::size_t kAnswerLengthAt = 10;
constexpr std::size_t kAnswerTextAt = 12;
constexpr int kModuleBlockCount = kModuleBlockBytes + 1;

// The second half of every MM exchange: the pause, then "MM,R," for the answer.
Task<bool> ReadMemoryAnswer(uclTzif& link, ReplySink& sink, Named<std::string> block) {
  co_await link.WaitTicks(kMemoryTransferPauseTicks);
  const std::string read = "MM,R,";
  const LinkStatus answered = co_await link.SendAndWait(sink, read, LinkStatus::BinaryTransfer, *block);
  co_return answered == LinkStatus::Complete;
}

}  // namespace

std::string HexDigits(std::uint64_t value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i) {
    text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    value >>= 4;
  }
  return text;
}

void ReportDumpFileError(const DumpOptions& options, const std::string& path, const std::string& what) {
  const std::string reason = FilesOf(options).LastError();
  if (options.onFileError) options.onFileError(reason.empty() ? what + path : reason);
}

void ReportDumpFailed(uclTzif& link) {
  link.SetStatus(LinkStatus::Ready);
  link.Events().DumpMessage("failed ");
}

std::string MemoryBlockField(int index) { return HexPair(index); }

std::string BuildMemoryTransferFrame(int index, const std::string& text, const std::string& data,
                                     int count) {
  std::string command = "MM,C,";
  command += static_cast<char>(count + 2);
  command += ',';
  command += text;
  command += data;
  return BuildCommandLine(command, kEOT, MemoryBlockField(index));
}

std::optional<std::string> MemoryTransferAnswer(const std::string& received) {
  if (received.size() <= kAnswerLengthAt) return std::nullopt;
  const int length = static_cast<unsigned char>(received[kAnswerLengthAt]) - 2;
  if (length < 0 || received.size() < kAnswerTextAt + static_cast<std::size_t>(length)) {
    return std::nullopt;
  }
  return received.substr(kAnswerTextAt, static_cast<std::size_t>(length));
}

Task<bool> ByteArrayMode(uclTzif& link, int index, Named<std::string> mode) {
  link.SetCancel(false);
  ReplySink sink;
  const std::string command = "MM," + *mode + ",";
  const std::string block = MemoryBlockField(index);
  const LinkStatus ended = co_await link.SendAndWait(sink, command, LinkStatus::WriteWaiting, block);
  co_return ended == LinkStatus::Complete;
}

Task<bool> ReceiveByteArray(uclTzif& link, int index, Named<std::string> data, int code) {
  ReplySink sink;
  std::string command = "MM,C,";
  command += static_cast<char>(code);
  command += "," + *data;
  const std::string block = MemoryBlockField(index);
  const LinkStatus sent = co_await link.SendAndWait(sink, command, LinkStatus::BinaryTransfer, block);
  if (sent != LinkStatus::Complete) {
    co_await link.WaitTicks(kMemoryTransferPauseTicks);
    co_return false;
  }
  const bool answered = co_await ReadMemoryAnswer(link, sink, block);
  co_return answered;
}

Task<bool> MemoryTransfer(uclTzif& link, ReplySink& sink, int index, Named<std::string> text,
                          Named<std::string> data, int count) {
  const std::string frame = BuildMemoryTransferFrame(index, *text, *data, count);
  const LinkStatus sent = co_await link.SendBytesAndWait(sink, frame, LinkStatus::BinaryTransfer);
  if (sent != LinkStatus::Complete) co_return false;
  sink.receivedBytes.reset();
  const std::string block = MemoryBlockField(index);
  const bool answered = co_await ReadMemoryAnswer(link, sink, block);
  co_return answered && sink.receivedBytes.has_value();
}

Task<std::optional<std::string>> getOptData(uclTzif& link, int index, Named<std::string> text,
                                            Named<std::string> data, int count) {
  ReplySink sink;
  const bool exchanged = co_await MemoryTransfer(link, sink, index, text, data, count);
  if (!exchanged) co_return std::nullopt;
  co_return MemoryTransferAnswer(*sink.receivedBytes);
}

Transaction GetOptBinDump(uclTzif& link, int index, std::string text, std::string path,
                          std::uint64_t size, DumpOptions options) {
  DumpFiles& files = FilesOf(options);
  const long long blocks = std::llround(static_cast<double>(size) / kModuleBlockBytes);
  const bool created = files.CreateFilled(path, size);
  const std::unique_ptr<DumpImage> image = created ? files.Open(path) : nullptr;
  if (!image) {
    link.AddLog("<<< Image file cannot be created: " + path + " >>>");
    ReportDumpFileError(options, path, "cannot create ");
    ReportDumpFailed(link);
    co_return false;
  }
  const DateTime started = link.Now();
  link.AddLog(FormatMessage(msg::kDumpListStartedLog, {FormatGeneralDate(started)}));
  std::uint64_t stored = 0;
  for (long long b = 0; b < blocks; ++b) {
    ReplySink sink;
    const std::string data(1, static_cast<char>(b & 0xFF));
    const bool exchanged = co_await MemoryTransfer(link, sink, index, text, data, kModuleBlockCount);
    const std::string& answer = exchanged ? *sink.receivedBytes : std::string();
    const std::uint64_t offset = static_cast<std::uint64_t>(b) * kModuleBlockBytes;
    const std::size_t fits = static_cast<std::size_t>(std::min<std::uint64_t>(kModuleBlockBytes, size - std::min(size, offset)));
    const bool answered = answer.size() >= kAnswerTextAt + kModuleBlockBytes;
    if (!answered || !image->WriteAt(offset, std::string_view(answer).substr(kAnswerTextAt, fits))) {
      if (answered) ReportDumpFileError(options, path, "cannot write ");
      ReportDumpFailed(link);
      co_return false;
    }
    link.Events().DumpMessage("Get Image " + (b < 10 ? "0" : std::string()) + std::to_string(b));
    link.AddLog(FormatMessage(msg::kDumpListFinishedLog,
                              {FormatGeneralDate(link.Now()),
                               FormatElapsed(SecondsBetween(started, link.Now()))}));
    stored = offset + fits;
    if (options.onProgress) options.onProgress(stored, size);
  }
  co_return true;
}

}  // namespace kv
