#include "protocol/frame_view.h"

#include <algorithm>

#include "protocol/framing.h"

namespace kv {
namespace {

// The frame layout, counted from STX.
constexpr std::size_t kStationAt = 1;
constexpr std::size_t kBlockAt = 3;
constexpr std::size_t kFieldLength = 2;  // station, block, checksum digits
constexpr std::size_t kTextAt = 5;
constexpr std::size_t kChecksumFromEnd = 3;  // two digits and the terminator
constexpr std::size_t kEtxFromEnd = 4;
constexpr std::size_t kSmallestWellFormed = 9;  // an empty text
// c0: the 1-based eleventh character, right after "XX,A,".
constexpr std::size_t kFirstDataAt = 10;

// The reply line, counted from its key.
constexpr std::size_t kStationAndBlock = 4;
constexpr std::size_t kKeyLength = 4;  // "XX,A"
constexpr std::size_t kCodeLength = 2;
constexpr std::size_t kAccessAt = 3;
constexpr std::size_t kDataAt = 5;  // after "XX,A,"

// `length` characters from `at`, or fewer (none) where the text is shorter.
std::string_view Slice(std::string_view text, std::size_t at,
                       std::size_t length = std::string_view::npos) {
  return at < text.size() ? text.substr(at, length) : std::string_view();
}

int HexDigitValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  return -1;
}

std::string ReplyLineOf(std::string_view frame) {
  std::string text(frame);
  std::replace(text.begin(), text.end(), kCR, ',');
  text = StripControlChars(text);
  if (text.size() <= kStationAndBlock + kFieldLength) return {};
  return text.substr(kStationAndBlock, text.size() - kStationAndBlock - kFieldLength);
}

}  // namespace

bool ChecksumMatches(std::string_view frame) {
  if (frame.size() < kChecksumFromEnd) return false;
  const std::size_t digitsAt = frame.size() - kChecksumFromEnd;
  const int high = HexDigitValue(frame[digitsAt]);
  const int low = HexDigitValue(frame[digitsAt + 1]);
  if (high < 0 || low < 0) return false;
  return FrameCheckSum(frame.substr(0, digitsAt)) == high * 16 + low;
}

FrameView::FrameView(std::string_view bytes) {
  const std::size_t start = bytes.rfind(kSTX);
  if (start == std::string_view::npos) {
    noise_ = bytes;
    return;
  }
  hasStart_ = true;
  noise_ = bytes.substr(0, start);
  frame_ = bytes.substr(start);
  line_ = ReplyLineOf(frame_);
}

std::string_view FrameView::Station() const { return Slice(frame_, kStationAt, kFieldLength); }

std::string_view FrameView::Block() const { return Slice(frame_, kBlockAt, kFieldLength); }

std::string_view FrameView::Text() const {
  const std::size_t etx = frame_.rfind(kETX);
  if (etx == std::string_view::npos || etx < kTextAt) return Slice(frame_, kTextAt);
  return frame_.substr(kTextAt, etx - kTextAt);
}

std::string_view FrameView::Body() const {
  return frame_.size() < kChecksumFromEnd ? std::string_view()
                                          : frame_.substr(0, frame_.size() - kChecksumFromEnd);
}

std::string_view FrameView::ChecksumDigits() const {
  return frame_.size() < kChecksumFromEnd
             ? std::string_view()
             : frame_.substr(frame_.size() - kChecksumFromEnd, kFieldLength);
}

char FrameView::Terminator() const {
  if (frame_.empty()) return '\0';
  const char last = frame_.back();
  return last == kETB || last == kEOT ? last : '\0';
}

bool FrameView::ChecksumMatches() const { return hasStart_ && kv::ChecksumMatches(frame_); }

bool FrameView::WellFormed() const {
  return frame_.size() >= kSmallestWellFormed && Terminator() != '\0' &&
         frame_[frame_.size() - kEtxFromEnd] == kETX && ChecksumMatches();
}

char FrameView::FirstDataChar() const {
  return frame_.size() > kFirstDataAt ? frame_[kFirstDataAt] : '\0';
}

std::string_view FrameView::Key() const { return Slice(line_, 0, kKeyLength); }

std::string_view FrameView::Code() const { return Slice(line_, 0, kCodeLength); }

char FrameView::Access() const { return line_.size() > kAccessAt ? line_[kAccessAt] : '\0'; }

std::string_view FrameView::Data() const { return Slice(line_, kDataAt); }

std::string_view ByteArrayHead(std::string_view bytes) {
  constexpr std::size_t kHeadAt = 5;  // STX, station(2), block(2)
  constexpr std::size_t kHeadLength = 5;
  return bytes.size() < kHeadAt + kHeadLength ? std::string_view() : bytes.substr(kHeadAt, kHeadLength);
}

}  // namespace kv
