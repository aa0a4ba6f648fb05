#include "sim/sim_dump.h"

#include <algorithm>

#include "protocol/framing.h"

namespace kv::sim {
namespace {

constexpr std::size_t kListingBlockBytes = 128;
constexpr std::size_t kModuleBlockBytes = 32;
constexpr std::string_view kMemoryTransferHead = "MM,C,";
constexpr std::size_t kHeadAt = 5;  // STX, station and block before the command text

std::string Patterned(std::size_t size, std::string head, unsigned salt) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>((i * 131 + (i >> 8) * 7 + salt) & 0xFF);
  }
  head += '\0';
  bytes.replace(0, std::min(head.size(), size), head.substr(0, size));
  return bytes;
}

std::string HexOf(std::string_view bytes) {
  std::string hex;
  for (const char byte : bytes) hex += HexPair(static_cast<unsigned char>(byte));
  return hex;
}

}  // namespace

std::string FlashImage(const clsInstrument& settings) {
  return Patterned(kSimFlashSize, "KORVIN FLASH " + std::string(settings.SerialNo()), 0x11);
}

std::string FramImage(const clsInstrument& settings) {
  return Patterned(kSimFramSize, "KORVIN FRAM " + std::string(settings.SerialNo()), 0x5A);
}

std::string ModuleMemory() { return Patterned(kSimModuleSize, "KORVIN MODULE", 0x33); }

std::vector<DumpPiece> SimDumps::Stream(const std::string& image) const {
  const std::size_t length = std::min(image.size(), faults_.stopAfter.value_or(image.size()));
  std::vector<DumpPiece> pieces;
  const std::size_t pauseAt = faults_.pauseAfter.value_or(length);
  for (std::size_t at = 0; at < length;) {
    // A piece ends where the pause begins.
    const std::size_t end = std::min({at + kBinaryPiece, length, at < pauseAt ? pauseAt : length});
    pieces.push_back({image.substr(at, end - at), false, at == pauseAt ? faults_.pauseMs : 0});
    at = end;
  }
  if (faults_.stopAfter && faults_.hangUp) {
    if (pieces.empty()) pieces.push_back({std::string(), false});
    pieces.back().hangUpAfter = true;
  }
  return pieces;
}

std::optional<std::vector<DumpPiece>> SimDumps::Answer(const clsInstrument& settings,
                                                       std::string_view text,
                                                       std::string_view blockField) {
  if (text == "EP,R,") return Stream(FlashImage(settings));
  if (text == "EF,R,") return Stream(FramImage(settings));
  if (text == "ES,R,") {
    // The logger area as 128-byte blocks: "ES,R,0,<block>,0,<hex rows>".
    const std::string area = FramImage(settings).substr(0, kSimLoggerAreaSize);
    listingBlocks_.clear();
    for (std::size_t at = 0; at < area.size(); at += kListingBlockBytes) {
      listingBlocks_.push_back("ES,R,0," + HexPair(static_cast<int>(at / kListingBlockBytes + 1)) +
                               ",0," + HexOf(area.substr(at, kListingBlockBytes)));
    }
    listingNext_ = 0;
    return std::vector<DumpPiece>{{ListingBlock(), false}};
  }
  if (text.substr(0, 3) != "MM,") return std::nullopt;
  const std::string block(blockField);
  if (text.substr(0, kMemoryTransferHead.size()) == kMemoryTransferHead) {
    // "MM,C," count "," then the text and the data: its last byte names the block.
    if (text.size() > kMemoryTransferHead.size() + 2) {
      moduleBlock_ = static_cast<unsigned char>(text.back());
    }
    return std::vector<DumpPiece>{{BuildCommandLine(std::string(kMemoryTransferHead) + kACK, kEOT, block), false}};
  }
  if (text == "MM,R,") {
    const std::size_t at = static_cast<std::size_t>(moduleBlock_) * kModuleBlockBytes % kSimModuleSize;
    std::string answer = "MM,R,";
    answer += static_cast<char>(kModuleBlockBytes + 2);
    answer += ',';
    answer += ModuleMemory().substr(at, kModuleBlockBytes);
    return std::vector<DumpPiece>{{BuildCommandLine(answer, kEOT, block), false}};
  }
  // Mode changes ("MM,S,", "MM,E,"...) are acknowledged.
  return std::vector<DumpPiece>{{BuildCommandLine(std::string(text.substr(0, 5)) + kACK, kEOT, block), false}};
}

std::string SimDumps::ListingBlock() const {
  const bool last = listingNext_ + 1 >= listingBlocks_.size();
  return BuildCommandLine(listingBlocks_[listingNext_], last ? kEOT : kETB);
}

std::optional<std::string> SimDumps::Acknowledged(std::string_view text) {
  if (listingBlocks_.empty() || text.substr(0, 5) != "ES,R,") return std::nullopt;
  if (text.size() > 5 && text[5] == kACK) ++listingNext_;
  if (listingNext_ >= listingBlocks_.size()) {
    listingBlocks_.clear();
    return std::nullopt;
  }
  return ListingBlock();
}

namespace {

// Where the memory-transfer frame in `buffer` starts, or npos.
std::size_t MemoryTransferStart(std::string_view buffer) {
  const std::size_t head = buffer.find(kMemoryTransferHead);
  if (head == std::string_view::npos || head < kHeadAt || buffer[head - kHeadAt] != kSTX) {
    return std::string_view::npos;
  }
  const std::size_t start = head - kHeadAt;
  const std::size_t firstEnd = buffer.find_first_of(std::string{kEOT, kETB});
  return firstEnd != std::string_view::npos && firstEnd < start ? std::string_view::npos : start;
}

}  // namespace

std::size_t RequestFrameEnd(std::string_view buffer) {
  const std::size_t start = MemoryTransferStart(buffer);
  if (start == std::string_view::npos) return buffer.find_first_of(std::string{kEOT, kETB});
  for (std::size_t at = buffer.find(kETX, start); at != std::string_view::npos;
       at = buffer.find(kETX, at + 1)) {
    if (at + 3 < buffer.size() && buffer[at + 3] == kEOT) return at + 3;
  }
  return std::string_view::npos;
}

std::optional<MemoryTransferRequest> ReadMemoryTransfer(std::string_view frame) {
  const std::size_t start = MemoryTransferStart(frame);
  constexpr std::size_t kTrailer = 4;  // ETX, two checksum digits, EOT
  if (start == std::string_view::npos || frame.size() < start + kHeadAt + kTrailer) {
    return std::nullopt;
  }
  frame.remove_prefix(start);
  const std::size_t etx = frame.size() - kTrailer;
  if (frame[etx] != kETX || frame.substr(etx + 1, 2) != HexPair(FrameCheckSum(frame.substr(0, etx + 1)))) {
    return std::nullopt;
  }
  return MemoryTransferRequest{frame.substr(kHeadAt, etx - kHeadAt), frame.substr(3, 2)};
}

}  // namespace kv::sim
