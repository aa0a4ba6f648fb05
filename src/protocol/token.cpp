#include "protocol/token.h"

#include <utility>

namespace kv {
namespace {

const std::string kEmpty;

}  // namespace

clsToken::clsToken() { RebuildClassTable(); }

void clsToken::AddMarker(MarkerList& list, std::string_view marker) {
  if (list.count < kMaxMarkers) {
    list.slots[static_cast<std::size_t>(list.count)].assign(marker);
    ++list.count;
  }
}

void clsToken::ClearMarkers(MarkerList& list) {
  for (int i = 0; i < kMaxMarkers; ++i) {
    list.slots[static_cast<std::size_t>(i)].clear();
  }
  list.count = 0;
}

const std::string& clsToken::MarkerAt(const MarkerList& list, int index) {
  return index >= 0 && index < list.count ? list.slots[static_cast<std::size_t>(index)] : kEmpty;
}

void clsToken::SetMarkerAt(MarkerList& list, int index, std::string_view value) {
  if (index >= 0 && index < kMaxMarkers) {
    list.slots[static_cast<std::size_t>(index)].assign(value);
  }
}

void clsToken::AddDelimiters(std::string_view marker) {
  AddMarker(delimiters_, marker);
  RebuildClassTable();
}

void clsToken::AddStrings(std::string_view marker) {
  AddMarker(stringRanges_, marker);
  RebuildClassTable();
}

void clsToken::AddComments(std::string_view marker) {
  AddMarker(comments_, marker);
  RebuildClassTable();
}

void clsToken::ClearDelimiters() {
  ClearMarkers(delimiters_);
  RebuildClassTable();
}

void clsToken::ClearStrings() {
  ClearMarkers(stringRanges_);
  RebuildClassTable();
}

void clsToken::ClearComments() {
  ClearMarkers(comments_);
  RebuildClassTable();
}

const std::string& clsToken::Delimiters(int index) const { return MarkerAt(delimiters_, index); }

void clsToken::SetDelimiters(int index, std::string_view value) {
  SetMarkerAt(delimiters_, index, value);
  RebuildClassTable();
}

const std::string& clsToken::StringRanges(int index) const {
  return MarkerAt(stringRanges_, index);
}

void clsToken::SetStringRanges(int index, std::string_view value) {
  SetMarkerAt(stringRanges_, index, value);
  RebuildClassTable();
}

const std::string& clsToken::Comments(int index) const { return MarkerAt(comments_, index); }

void clsToken::SetComments(int index, std::string_view value) {
  SetMarkerAt(comments_, index, value);
  RebuildClassTable();
}

void clsToken::RebuildClassTable() {
  classOf_.fill(kOrdinary);
  // Applied in this order so that a later list overrides an earlier one.
  const std::pair<const MarkerList*, CharClass> lists[] = {
      {&delimiters_, kDelimiter}, {&stringRanges_, kStringRange}, {&comments_, kComment}};
  for (const auto& [list, charClass] : lists) {
    for (int i = 0; i < list->count; ++i) {
      const std::string& marker = list->slots[static_cast<std::size_t>(i)];
      if (marker.size() == 1) {  // longer entries never equal a single character
        classOf_[static_cast<unsigned char>(marker[0])] = charClass;
      }
    }
  }
}

const std::string& clsToken::Tokens(int index) const {
  return index >= 0 && index < kTokenSlots - 1 ? tokens_[static_cast<std::size_t>(index)] : kEmpty;
}

bool clsToken::SetTokens(int index, std::string_view value) {
  if (index < 0 || index >= kTokenSlots) {
    return false;
  }
  tokens_[static_cast<std::size_t>(index)].assign(value);
  return true;
}

bool clsToken::StoreToken(std::string_view token, bool counted) {
  if (tokenCount_ >= kTokenSlots) {
    return false;
  }
  tokens_[static_cast<std::size_t>(tokenCount_)].assign(token);
  if (counted) {
    ++tokenCount_;
  }
  return true;
}

bool clsToken::SetSource(std::string_view line) {
  source_.assign(line);
  const std::string_view text = source_;
  tokenCount_ = 0;
  bool inString = false;
  std::size_t pendingStart = 0;  // the pending token is text[pendingStart, i)
  for (std::size_t i = 0; i < text.size(); ++i) {
    switch (classOf_[static_cast<unsigned char>(text[i])]) {
      case kOrdinary:
        break;
      case kDelimiter:
        if (!inString) {
          if (!StoreToken(text.substr(pendingStart, i - pendingStart), true)) {
            return false;
          }
          pendingStart = i + 1;
        }
        break;
      case kStringRange:
        if (inString) {
          if (!StoreToken(text.substr(pendingStart, i - pendingStart), true)) {
            return false;
          }
        }
        inString = !inString;
        pendingStart = i + 1;  // what was gathered before an opening mark is dropped
        break;
      case kComment:
        if (!inString) {
          // The rest of the line goes into the next slot uncounted.
          return StoreToken(text.substr(i + 1), false);
        }
        break;
    }
  }
  if (pendingStart < text.size()) {
    return StoreToken(text.substr(pendingStart), true);
  }
  return true;
}

}  // namespace kv
