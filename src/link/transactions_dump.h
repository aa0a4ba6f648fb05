#pragma once
// The memory dumps: the flash and FRAM images ("EP,R,", "EF,R,"), the
// hexadecimal listing of a logger area, and an optional module's memory
// through the MM memory-transfer exchanges. Every text they report goes to
// DumpMessage; the files go through DumpFiles.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/datetime.h"

#include "link/dump_files.h"
#include "link/link.h"
#include "link/task.h"
#include "protocol/reply_sink.h"

namespace kv {

inline constexpr std::uint64_t kFlashImageSize = 4194304;
inline constexpr std::uint64_t kFramImageSize = 8192;
inline constexpr int kFlashProgressBlock = 1024;
inline constexpr int kFramProgressBlock = 256;
// The `blocks` value of GetBinDump that asks for a fresh image.
inline constexpr int kFlashFreshImageBlocks = static_cast<int>(kFlashImageSize / kFlashProgressBlock) - 1;
// The pause between the two halves of an MM exchange (2.3 s).
inline constexpr int kMemoryTransferPauseTicks = 23;
inline constexpr int kModuleBlockBytes = 32;

// After a cancelled image dump the instrument goes on sending (its protocol
// has no way to stop a stream): the rest is read and dropped until the line
// has been quiet this long (a page at 9600 baud takes about 1 s), for at most
// kDrainLimitTicks.
inline constexpr int kDrainQuietTicks = 20;
inline constexpr int kDrainLimitTicks = 100;

// What was done with the stream after a dump was cancelled.
struct DrainResult {
  std::uint64_t droppedBytes = 0;
  bool silent = false;  // false: still streaming when the drain gave up
};

// How a dump reaches its files and reports its bytes.
struct DumpOptions {
  DumpFiles* files = nullptr;  // null: the disk
  // After every stored arrival: bytes in the image so far, of how many.
  std::function<void(std::uint64_t received, std::uint64_t expected)> onProgress;
  // A file could not be created or written: the reason, naming the file.
  std::function<void(const std::string& reason)> onFileError;
  // A cancelled (or, by a write error, abandoned) image stream was drained.
  std::function<void(const DrainResult& drained)> onDrained;
};

// Reads and drops what still arrives until the line is quiet (see
// kDrainQuietTicks); Cancel is cleared while it runs and set again after.
Task<DrainResult> DrainStream(uclTzif& link);

// The flash image: 4194304 bytes into `path`, created filled with 0xFF when it
// does not exist or when `keep` is false and `blocks` is
// kFlashFreshImageBlocks; otherwise the transfer overwrites the file in place.
// True when every byte arrived. A short image, a refused start, a stream that
// stops (silent for the stream silence limit) or Cancel: false, "failed ",
// Status Ready, and the image keeps its 0xFF filling where nothing came. After
// Cancel or a write error the rest of the stream is drained (DrainStream).
Transaction GetBinDump(uclTzif& link, std::string path, bool keep, int blocks,
                       DumpOptions options = {});
// The FRAM image: 8192 bytes, always a fresh image.
Transaction GetBinDumpFRAM(uclTzif& link, std::string path, DumpOptions options = {});
// The listing of the memory read with `code` + ",R,", written to `path`.
Transaction GetRomDump(uclTzif& link, std::string path, std::string code,
                       DumpOptions options = {});

// The rows of a listing with its last page filled up to 16 rows of 32 "F",
// each address 16 past the one before.
std::vector<DumpListItem> FillLastPage(std::vector<DumpListItem> rows);
// The whole listing file: heading, pages of the rows received (the last one
// filled up, each raising "Get Dump aaaaaa-bbbbbb"), the total time.
std::string ListingText(uclTzif& link, const std::string& code, const DateTime& started,
                        const std::vector<DumpListItem>& received);

// ---- MM memory transfers --------------------------------------------------------
// The MM frame's block field: two uppercase hexadecimal digits (10 gives "0A").
std::string MemoryBlockField(int index);
// The binary MM frame with code "C": the count byte (count + 2), the text and
// the data bytes, checksum and EOT.
std::string BuildMemoryTransferFrame(int index, const std::string& text, const std::string& data,
                                     int count);
// The text of an MM answer: byte 10 holds a length n, the text is the n - 2
// bytes from byte 12 on; nothing when the answer is shorter than it says.
std::optional<std::string> MemoryTransferAnswer(const std::string& received);

// "MM," + mode + ",": true when acknowledged.
Task<bool> ByteArrayMode(uclTzif& link, int index, Named<std::string> mode);
// "MM,C," + Chr(code) + "," + data, the pause, then "MM,R,".
Task<bool> ReceiveByteArray(uclTzif& link, int index, Named<std::string> data, int code);
// The binary MM frame, the pause, then "MM,R,"; the answer's raw bytes are
// left in `sink.receivedBytes`. False on the first exchange that fails.
Task<bool> MemoryTransfer(uclTzif& link, ReplySink& sink, int index, Named<std::string> text,
                          Named<std::string> data, int count);
// MemoryTransfer's answer as text; nothing when an exchange failed.
Task<std::optional<std::string>> getOptData(uclTzif& link, int index, Named<std::string> text,
                                            Named<std::string> data, int count);
// `size` / 32 blocks of 32 bytes through the MM exchange into an image of
// `size` bytes filled with 0xFF; stops at the first failed block, keeping the
// blocks already written.
Transaction GetOptBinDump(uclTzif& link, int index, std::string text, std::string path,
                          std::uint64_t size, DumpOptions options = {});

}  // namespace kv
