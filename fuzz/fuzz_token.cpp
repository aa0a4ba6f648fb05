// The tokenizer under every line reader, with any markers and any lines: it
// must stay inside its 129 slots and its marker lists whatever it is given.
//
// Input: one byte n, then n marker bytes (each byte's high bits choose the
// list: delimiters, string marks, comments), then lines separated by LF.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/record_apply.h"
#include "fuzz_target.h"
#include "protocol/token.h"

namespace {

void AddMarker(kv::clsToken& token, char marker, unsigned list) {
  const std::string_view one(&marker, 1);
  switch (list % 4) {
    case 0: token.AddDelimiters(one); break;
    case 1: token.AddStrings(one); break;
    case 2: token.AddComments(one); break;
    default: token.SetDelimiters(static_cast<int>(list % 12) - 1, one); break;
  }
}

}  // namespace

std::vector<std::string> FuzzSeeds() {
  return {std::string("\x03,\x01\"\x02;", 7) + "a,b,\"c,d\",e;rest\n,,,\n\"open,x\nA,R,01,ALICE     ,",
          std::string("\x00", 1) + "one line without markers",
          std::string("\x02,@", 3) + std::string(300, ',') + "\nx@y@z"};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  kv::clsToken token;
  const std::size_t markers = std::min<std::size_t>(static_cast<unsigned char>(input[0]) % 16,
                                                    input.size() - 1);
  // Some inputs start from the record reader's own markers.
  if (markers % 2 == 1) kv::ConfigureRecordTokenizer(token);
  for (std::size_t i = 0; i < markers; ++i) {
    AddMarker(token, input[1 + i], static_cast<unsigned char>(input[1 + i]) >> 4);
  }
  std::string_view lines = input.substr(1 + markers);
  while (true) {
    const std::size_t end = lines.find('\n');
    const std::string_view line = lines.substr(0, end);
    (void)token.SetSource(line);
    if (token.TokenCount() < 0 || token.TokenCount() > kv::clsToken::kTokenSlots) std::abort();
    for (int i = -1; i <= kv::clsToken::kTokenSlots; ++i) (void)token.Tokens(i);
    for (int i = -1; i <= kv::clsToken::kMarkerSlots; ++i) {
      (void)token.Delimiters(i);
      (void)token.StringRanges(i);
      (void)token.Comments(i);
    }
    if (end == std::string_view::npos) break;
    lines.remove_prefix(end + 1);
  }
  return 0;
}
