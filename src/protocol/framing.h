#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

// Control characters of the line protocol.
inline constexpr char kSTX = '\x02';
inline constexpr char kETX = '\x03';
inline constexpr char kEOT = '\x04';
inline constexpr char kENQ = '\x05';
inline constexpr char kACK = '\x06';
inline constexpr char kLF = '\x0A';
inline constexpr char kCR = '\x0D';
inline constexpr char kNAK = '\x15';
inline constexpr char kETB = '\x17';
inline constexpr char kSUB = '\x1A';
inline constexpr char kESC = '\x1B';

// STX "00" block commandText ETX checksum terminator. The terminator is EOT for
// a command and ETB for an acknowledgement line; the block is "00" except for
// memory transfers.
std::string BuildCommandLine(std::string_view commandText, char terminator = kEOT,
                             std::string_view block = "00");

// The byte that makes the sum of all bytes of `text` plus itself a multiple of
// 256, i.e. (0 - sum) mod 256; written as two uppercase hex digits on the line.
int FrameCheckSum(std::string_view text);

// Two uppercase hexadecimal digits of value & 0xFF.
std::string HexPair(int value);

// The smallest of three 1-based positions that is above 0, or 0 when none is.
int FirstTerminator(int posA, int posB, int posC);

// The text with control characters shown as tags ("[STX]", "[01]", ...) for
// the session log; CR and LF are kept as they are.
std::string ToReadable(std::string_view text);

// Keeps only the characters with codes 32 to 127; control characters and
// bytes from 128 up are dropped.
std::string StripControlChars(std::string_view text);

// One character per received byte, in order.
std::string BytesToText(const unsigned char* data, std::size_t size);

// The command head of the last line sent: the first 5 characters of its
// command text ("XX,A,"), or 7 when the line holds "IH" anywhere. Shorter when
// the text is.
std::string CommandHead(std::string_view lastLineSent);

// The acknowledgement line for a received block: command head + ACK or NAK,
// block "00", terminated by ETB. The NAK sent on a reply time-out always uses
// the 5-character head (allowSevenCharHead = false).
std::string BuildAckLine(std::string_view lastLineSent, char ackOrNak,
                         bool allowSevenCharHead = true);

// True when the two hex digits before the frame's terminator equal the
// checksum of everything before them, counted from the first byte. False for a
// frame too short to hold a checksum or whose checksum field is not
// hexadecimal. Received frames are checked through FrameView (frame_view.h),
// which counts from the STX; this is the arithmetic it uses.
bool ChecksumMatches(std::string_view frame);

// Received bytes waiting to be cut into frames. A frame runs from the front up
// to and including the first ETB or EOT. The buffer is bounded so that a flood
// without terminators cannot grow memory without limit.
class ReceiveBuffer {
 public:
  static constexpr std::size_t kDefaultCapacity = 64 * 1024;

  explicit ReceiveBuffer(std::size_t capacity = kDefaultCapacity);

  // Appends the bytes; returns false and keeps nothing of them when the buffer
  // would grow beyond its capacity (the caller logs the rejection).
  [[nodiscard]] bool Append(std::string_view bytes);

  // Cuts the first complete frame off the front. One frame at a time: handling
  // a frame may send a line, and every send empties the buffer.
  std::optional<std::string> TakeFrame();

  // Bytes are waiting but none of them ends a frame yet.
  bool HasPartialReply() const;
  // A CR has arrived but no ETB or EOT: the instrument answered with a plain
  // line, which counts as a failed reply.
  bool HasCarriageReturnWithoutTerminator() const;

  bool Empty() const { return text_.empty(); }
  void Clear() { text_.clear(); }
  std::size_t Size() const { return text_.size(); }
  std::size_t Capacity() const { return capacity_; }
  const std::string& Text() const { return text_; }

 private:
  std::size_t FirstTerminatorIndex() const;

  std::string text_;
  std::size_t capacity_;
};

}  // namespace kv
