#pragma once
// One frame, parsed once. Every reader of a frame (the link, the reply
// dispatcher, the simulator, the command-line tool) takes its parts from here
// instead of counting characters.
#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

// [noise] STX station(2) block(2) text ETX checksum(2) terminator
//
// Bytes before the frame's start (line noise, such as the NUL an infrared
// turnaround can produce) are set aside: the start is the last STX, so a
// stray STX in the noise does not count either. Without an STX there is no
// frame and every part is empty.
//
// The raw parts are views into the bytes given; the reply line is the
// dispatcher's printable form of the frame and lives in the view itself.
// Keep both alive while using what they hand out.
class FrameView {
 public:
  explicit FrameView(std::string_view bytes);
  // The view would outlive the bytes.
  explicit FrameView(std::string&&) = delete;

  bool HasStart() const { return hasStart_; }
  // The bytes before the STX (all of them when there is none).
  std::string_view Noise() const { return noise_; }
  // STX through the terminator.
  std::string_view Frame() const { return frame_; }
  std::string_view Station() const;
  std::string_view Block() const;
  // Between the block and the last ETX; the rest of the frame without an ETX.
  std::string_view Text() const;
  // Everything the checksum covers: the frame without its last three bytes.
  std::string_view Body() const;
  // The two characters before the terminator.
  std::string_view ChecksumDigits() const;
  // ETB or EOT when the frame ends with one, otherwise '\0'.
  char Terminator() const;
  bool ChecksumMatches() const;
  // STX, the text closed by ETX right before the checksum, a terminator, and a
  // checksum that matches.
  bool WellFormed() const;
  // c0: the first character after "XX,A," as received (ACK, NAK, SUB ...),
  // or '\0' when the frame is too short to hold one.
  char FirstDataChar() const;

  // The reply line: the frame with CR read as ",", control characters and
  // bytes from 128 up dropped, then station, block and checksum digits cut
  // off. The key ("XX,A"), code, access letter and data fields come from it,
  // so whoever compares codes sees what the dispatcher applies.
  std::string_view Line() const { return line_; }
  std::string_view Key() const;
  std::string_view Code() const;
  char Access() const;
  std::string_view Data() const;

 private:
  bool hasStart_ = false;
  std::string_view noise_;
  std::string_view frame_;
  std::string line_;
};

// The command head ("XX,A,") of a byte array, or empty when the array is too
// short to hold one. A byte array may hold 0x02 in its data, so its head is
// read at its fixed place after STX, station and block, not after the last STX.
std::string_view ByteArrayHead(std::string_view bytes);

}  // namespace kv
