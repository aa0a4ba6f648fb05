#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// Splits one line into tokens. The caller registers single characters as
// delimiters, string-range (quote) marks and comment marks, then assigns the
// line with SetSource and reads the tokens back by index.
//
// Quirks kept on purpose because every line reader relies on them:
// - token slots are not cleared by a split: a slot at or beyond TokenCount()
//   keeps what an earlier line left there;
// - a comment mark outside a string stops the split and stores the rest of the
//   line in the next slot without counting it; the pending token is lost;
// - a string mark drops what was gathered since the last delimiter, and any
//   string mark closes a string opened by another;
// - consecutive delimiters give empty tokens, a trailing delimiter does not;
// - a marker entry longer than one character never matches, and a character
//   registered in several lists belongs to the last one (comment over string
//   range over delimiter).
class clsToken {
 public:
  static constexpr int kTokenSlots = 129;   // slots 0..128
  static constexpr int kMarkerSlots = 11;   // slots 0..10 of each marker list
  static constexpr int kMaxMarkers = 10;    // Add... fills slots 0..9 only

  clsToken();

  void AddDelimiters(std::string_view marker);
  void AddStrings(std::string_view marker);
  void AddComments(std::string_view marker);
  void ClearDelimiters();
  void ClearStrings();
  void ClearComments();

  // Get: the entry if 0 <= index < count, else "". Set: stores at 0 <= index < 10
  // without changing the count (so a slot at or beyond the count stays unused).
  const std::string& Delimiters(int index) const;
  void SetDelimiters(int index, std::string_view value);
  const std::string& StringRanges(int index) const;
  void SetStringRanges(int index, std::string_view value);
  const std::string& Comments(int index) const;
  void SetComments(int index, std::string_view value);

  std::int16_t TokenCount() const { return tokenCount_; }
  // Overwrites the count only; the token slots are untouched.
  void SetTokenCount(std::int16_t count) { tokenCount_ = count; }

  // Slot `index` for 0 <= index < 128, else "" (slot 128 is never readable);
  // the token count is not consulted.
  const std::string& Tokens(int index) const;
  // False, storing nothing, outside 0..128.
  [[nodiscard]] bool SetTokens(int index, std::string_view value);

  const std::string& Source() const { return source_; }
  // Stores the line and splits it. False when the split would store a token in
  // slot 129 or beyond: the line is malformed; tokens already stored remain.
  [[nodiscard]] bool SetSource(std::string_view line);

 private:
  enum CharClass : std::uint8_t { kOrdinary = 0, kDelimiter = 1, kStringRange = 2, kComment = 3 };

  struct MarkerList {
    std::array<std::string, kMarkerSlots> slots;
    std::int16_t count = 0;
  };

  static void AddMarker(MarkerList& list, std::string_view marker);
  static void ClearMarkers(MarkerList& list);
  static const std::string& MarkerAt(const MarkerList& list, int index);
  static void SetMarkerAt(MarkerList& list, int index, std::string_view value);

  // Rebuilds the per-byte class table after any change of a marker list.
  void RebuildClassTable();
  bool StoreToken(std::string_view token, bool counted);

  MarkerList delimiters_;
  MarkerList stringRanges_;
  MarkerList comments_;
  std::array<CharClass, 256> classOf_{};
  std::string source_;
  std::array<std::string, kTokenSlots> tokens_;
  std::int16_t tokenCount_ = 0;
};

}  // namespace kv
