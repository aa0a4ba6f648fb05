#pragma once
// The instrument's memories as the dumps read them: a 4 MiB flash and an
// 8 KiB FRAM of recognisable content, a logger area served as a listing in
// ETB blocks, and an optional module's memory behind the MM exchanges.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/instrument.h"

namespace kv::sim {

inline constexpr std::size_t kSimFlashSize = 4194304;
inline constexpr std::size_t kSimFramSize = 8192;
// The logger area of the listing: not a whole number of 128-byte blocks, so
// its last row and last page are short.
inline constexpr std::size_t kSimLoggerAreaSize = 1000;
inline constexpr std::size_t kSimModuleSize = 4096;
// Binary streams go out in pieces of this size, each paced on its own.
inline constexpr std::size_t kBinaryPiece = 1024;

// A deterministic pattern with the instrument's identity at the start:
// "KORVIN FLASH " / "KORVIN FRAM " + serial number + NUL, then the pattern.
std::string FlashImage(const clsInstrument& settings);
std::string FramImage(const clsInstrument& settings);
std::string ModuleMemory();

// Faults of the binary streams: the stream stops after `stopAfter` bytes, and
// with `hangUp` the line is closed there; it falls silent for `pauseMs` after
// `pauseAfter` bytes (as a memory between pages).
struct DumpFaults {
  std::optional<std::size_t> stopAfter;
  bool hangUp = false;
  std::optional<std::size_t> pauseAfter;
  int pauseMs = 0;
};

// One piece of an answer: bytes as they go on the wire.
struct DumpPiece {
  std::string bytes;
  bool hangUpAfter = false;
  int pauseBeforeMs = 0;  // silence before the piece goes out
};

class SimDumps {
 public:
  explicit SimDumps(DumpFaults faults = {}) : faults_(faults) {}

  // The answer to a request (its command text and block field), or nothing
  // when it is not a dump request.
  std::optional<std::vector<DumpPiece>> Answer(const clsInstrument& settings,
                                               std::string_view text, std::string_view block);
  // An ETB line: the acknowledgement of a listing block; the next block (or
  // the same again after a NAK), nothing when no listing runs.
  std::optional<std::string> Acknowledged(std::string_view text);

 private:
  std::vector<DumpPiece> Stream(const std::string& image) const;
  std::string ListingBlock() const;

  DumpFaults faults_;
  std::vector<std::string> listingBlocks_;  // reply texts still to send
  std::size_t listingNext_ = 0;
  int moduleBlock_ = 0;
};

// Where a request frame ends in `buffer` (index of its terminator), or npos.
// An MM memory-transfer frame carries raw bytes that may look like
// terminators; it ends at ETX, two checksum digits and EOT.
std::size_t RequestFrameEnd(std::string_view buffer);

// An MM memory-transfer frame with a right checksum, read from its own STX
// (its data may hold further STX bytes).
struct MemoryTransferRequest {
  std::string_view text;
  std::string_view block;
};
std::optional<MemoryTransferRequest> ReadMemoryTransfer(std::string_view frame);

}  // namespace kv::sim
