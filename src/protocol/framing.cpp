#include "protocol/framing.h"

#include <array>

#include "protocol/frame_view.h"

namespace kv {
namespace {

constexpr std::string_view kStation = "00";
constexpr std::size_t kShortHead = 5;  // "XX,A,"
constexpr std::size_t kLongHead = 7;   // lines holding "IH" carry two more characters

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Log tags of the control characters that have a name; other codes below 32
// (except CR and LF) are shown as their hex value.
constexpr std::array<std::string_view, 32> kControlTags = [] {
  std::array<std::string_view, 32> tags{};
  tags[0x02] = "[STX]";
  tags[0x03] = "[ETX]";
  tags[0x04] = "[EOT]";
  tags[0x05] = "[ENQ]";
  tags[0x06] = "[ACK]";
  tags[0x15] = "[NAK]";
  tags[0x17] = "[ETB]";
  tags[0x1A] = "[SUB]";
  tags[0x1B] = "[ESC]";
  return tags;
}();

// Up to `length` characters of the command text of a line sent.
std::string HeadOf(std::string_view line, std::size_t length) {
  const FrameView sent(line);
  return std::string(sent.Text().substr(0, length));
}

constexpr char kTerminators[] = {kETB, kEOT};

}  // namespace

std::string HexPair(int value) {
  const auto byte = static_cast<unsigned>(value) & 0xFFU;
  return {kHexDigits[byte >> 4], kHexDigits[byte & 0x0FU]};
}

int FrameCheckSum(std::string_view text) {
  unsigned sum = 0;  // only the low byte matters, so wrap-around is harmless
  for (const char c : text) {
    sum += static_cast<unsigned char>(c);
  }
  return static_cast<int>((0U - sum) & 0xFFU);
}

std::string BuildCommandLine(std::string_view commandText, char terminator,
                             std::string_view block) {
  std::string line;
  line.reserve(1 + kStation.size() + block.size() + commandText.size() + 4);
  line += kSTX;
  line += kStation;
  line += block;
  line += commandText;
  line += kETX;
  line += HexPair(FrameCheckSum(line));
  line += terminator;
  return line;
}

int FirstTerminator(int posA, int posB, int posC) {
  int first = 0;
  for (const int position : {posA, posB, posC}) {
    if (position > 0 && (first == 0 || position < first)) {
      first = position;
    }
  }
  return first;
}

std::string ToReadable(std::string_view text) {
  std::string readable;
  readable.reserve(text.size() + 16);
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code >= 32 || c == kCR || c == kLF) {
      readable += c;
    } else if (!kControlTags[code].empty()) {
      readable += kControlTags[code];
    } else {
      readable += '[';
      readable += HexPair(code);
      readable += ']';
    }
  }
  return readable;
}

std::string StripControlChars(std::string_view text) {
  std::string printable;
  printable.reserve(text.size());
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code >= 32 && code < 128) {
      printable += c;
    }
  }
  return printable;
}

std::string BytesToText(const unsigned char* data, std::size_t size) {
  if (data == nullptr) {
    return {};
  }
  return std::string(reinterpret_cast<const char*>(data), size);
}

std::string CommandHead(std::string_view lastLineSent) {
  const bool longHead = lastLineSent.find("IH") != std::string_view::npos;
  return HeadOf(lastLineSent, longHead ? kLongHead : kShortHead);
}

std::string BuildAckLine(std::string_view lastLineSent, char ackOrNak, bool allowSevenCharHead) {
  std::string text =
      allowSevenCharHead ? CommandHead(lastLineSent) : HeadOf(lastLineSent, kShortHead);
  text += ackOrNak;
  return BuildCommandLine(text, kETB, "00");
}

ReceiveBuffer::ReceiveBuffer(std::size_t capacity) : capacity_(capacity) {}

bool ReceiveBuffer::Append(std::string_view bytes) {
  if (bytes.size() > capacity_ - text_.size()) {
    return false;
  }
  text_ += bytes;
  return true;
}

std::size_t ReceiveBuffer::FirstTerminatorIndex() const {
  return text_.find_first_of(std::string_view(kTerminators, sizeof kTerminators));
}

std::optional<std::string> ReceiveBuffer::TakeFrame() {
  const std::size_t end = FirstTerminatorIndex();
  if (end == std::string::npos) {
    return std::nullopt;
  }
  std::string frame = text_.substr(0, end + 1);
  text_.erase(0, end + 1);
  return frame;
}

bool ReceiveBuffer::HasPartialReply() const {
  return !text_.empty() && FirstTerminatorIndex() == std::string::npos;
}

bool ReceiveBuffer::HasCarriageReturnWithoutTerminator() const {
  return text_.find(kCR) != std::string::npos && FirstTerminatorIndex() == std::string::npos;
}

}  // namespace kv
