// The flash and FRAM images: the start command, then raw bytes written into
// the image at the offset they arrive at, until the image is full.
#include <algorithm>
#include <memory>

#include "common/messages.h"
#include "link/transactions_dump.h"
#include "link/transactions_dump_common.h"
#include "protocol/frame_view.h"
#include "protocol/framing.h"

namespace kv {
namespace {

// Trivially copyable, so the awaited transfer can take it by reference.
struct ImageKind {
  const char* command;
  const char* startMessage;
  std::uint64_t size;
  int progressBlock;
};

constexpr ImageKind kFlash{"EP,R,", "Get FLASH Image", kFlashImageSize, kFlashProgressBlock};
constexpr ImageKind kFram{"EF,R,", "Get FRAM Image", kFramImageSize, kFramProgressBlock};

// An instrument that refuses the start answers with a short text frame of the
// command's own code instead of the image.
constexpr std::size_t kLongestRefusal = 64;

bool IsRefusal(std::string_view bytes, std::string_view command) {
  if (bytes.size() > kLongestRefusal) return false;
  const FrameView frame(bytes);
  return frame.HasStart() && frame.Terminator() == kEOT && frame.ChecksumMatches() &&
         frame.Code() == command.substr(0, 2) && frame.Frame().size() == bytes.size();
}

// Takes the arrivals of one transfer into the open image.
class ImageReception {
 public:
  ImageReception(uclTzif& link, DumpImage& image, const ImageKind& kind,
                 const DumpOptions& options)
      : link_(link), image_(image), kind_(kind), options_(options) {}

  void Take(std::string_view bytes) {
    if (received_ == 0 && IsRefusal(bytes, kind_.command)) {
      link_.AddLog("<<< Image transfer refused >>>");
      link_.SetStatus(LinkStatus::Failed);
      return;
    }
    // Bytes beyond the memory's size are the instrument's mistake, not image.
    const std::uint64_t room = kind_.size - received_;
    const std::string_view stored = bytes.substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(room, bytes.size())));
    if (!image_.WriteAt(received_, stored)) {
      writeFailed_ = true;
      link_.AddLog("<<< Image file write failed >>>");
      if (options_.onFileError) {
        const std::string reason = image_.LastError();
        options_.onFileError(reason.empty() ? "cannot write the image" : reason);
      }
      link_.SetStatus(LinkStatus::Failed);
      return;
    }
    received_ += stored.size();
    link_.Events().DumpMessage(
        "Get Image " + HexDigits(received_ / static_cast<std::uint64_t>(kind_.progressBlock), 4));
    link_.AddLog("Get Image " + HexDigits(received_, 6));
    if (options_.onProgress) options_.onProgress(received_, kind_.size);
    if (received_ == kind_.size) link_.SetStatus(LinkStatus::Complete);
  }

  bool Complete() const { return !writeFailed_ && received_ == kind_.size; }
  bool WriteFailed() const { return writeFailed_; }

 private:
  uclTzif& link_;
  DumpImage& image_;
  const ImageKind& kind_;
  const DumpOptions& options_;
  std::uint64_t received_ = 0;
  bool writeFailed_ = false;
};

// While alive, binary arrivals go to the reception; afterwards they complete
// MM exchanges again.
class BinaryReceiverScope {
 public:
  BinaryReceiverScope(uclTzif& link, ImageReception& reception) : link_(link) {
    link_.SetBinaryReceiver([&reception](std::string_view bytes) { reception.Take(bytes); });
  }
  ~BinaryReceiverScope() { link_.SetBinaryReceiver({}); }
  BinaryReceiverScope(const BinaryReceiverScope&) = delete;
  BinaryReceiverScope& operator=(const BinaryReceiverScope&) = delete;

 private:
  uclTzif& link_;
};

Task<bool> TransferImage(uclTzif& link, Named<std::string> path, bool fresh,
                         const ImageKind& kind, const DumpOptions& options) {
  DumpFiles& files = FilesOf(options);
  link.Events().DumpMessage("Initialize Local Image");
  if (fresh || !files.Exists(*path)) {
    const bool created = files.CreateFilled(*path, kind.size);
    if (!created) {
      link.AddLog("<<< Image file cannot be created: " + *path + " >>>");
      ReportDumpFileError(options, *path, "cannot create ");
      co_return false;
    }
  }
  const std::unique_ptr<DumpImage> image = files.Open(*path);
  if (!image) {
    link.AddLog("<<< Image file cannot be opened: " + *path + " >>>");
    ReportDumpFileError(options, *path, "cannot open ");
    co_return false;
  }
  link.Events().DumpMessage(kind.startMessage);
  link.AddLog(FormatMessage(msg::kDumpListStartedLog, {FormatGeneralDate(link.Now())}));
  ImageReception reception(link, *image, kind, options);
  LinkStatus ended = LinkStatus::Idle;
  {
    const BinaryReceiverScope receiving(link, reception);
    ReplySink sink;
    const std::string command = kind.command;
    const LinkStatus answered = co_await link.SendAndWait(sink, command, LinkStatus::BinaryTransfer);
    ended = answered;
  }
  const bool complete = ended == LinkStatus::Complete && reception.Complete();
  if (ended == LinkStatus::Cancelled || reception.WriteFailed()) {
    const DrainResult drained = co_await DrainStream(link);
    if (options.onDrained) options.onDrained(drained);
  }
  co_return complete;
}

Transaction RunImageDump(uclTzif& link, std::string path, bool fresh, const ImageKind& kind,
                         DumpOptions options) {
  const bool ok = co_await TransferImage(link, path, fresh, kind, options);
  if (!ok) ReportDumpFailed(link);
  co_return ok;
}

}  // namespace

Task<DrainResult> DrainStream(uclTzif& link) {
  const bool cancel = link.Cancel();
  link.SetCancel(false);  // a set Cancel would end the drain's own wait
  link.Events().DumpMessage("Waiting for the instrument to stop sending");
  DrainResult result;
  link.ReceiveStream([&result](std::string_view bytes) { result.droppedBytes += bytes.size(); });
  int quietTicks = 0;
  for (int waited = 0; waited < kDrainLimitTicks && !result.silent; ++waited) {
    const std::uint64_t before = result.droppedBytes;
    co_await link.WaitTicks(1);
    quietTicks = result.droppedBytes == before ? quietTicks + 1 : 0;
    result.silent = quietTicks >= kDrainQuietTicks;
  }
  link.SetBinaryReceiver({});
  link.SetStatus(LinkStatus::Ready);
  link.SetCancel(cancel);
  link.AddLog("<<< " + std::to_string(result.droppedBytes) + " bytes after the end of the dump dropped" +
              (result.silent ? "" : "; still sending") + " >>>");
  co_return result;
}

Transaction GetBinDump(uclTzif& link, std::string path, bool keep, int blocks,
                       DumpOptions options) {
  const bool fresh = !keep && blocks == kFlashFreshImageBlocks;
  return RunImageDump(link, std::move(path), fresh, kFlash, std::move(options));
}

Transaction GetBinDumpFRAM(uclTzif& link, std::string path, DumpOptions options) {
  return RunImageDump(link, std::move(path), true, kFram, std::move(options));
}

}  // namespace kv
