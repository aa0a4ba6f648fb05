#pragma once
// The read list of the full read: every command that fetches one setting
// group, in the order the instrument is asked. The repeats (SZ, S1, UJ, H2)
// are part of the list: the instrument expects them there.
#include <array>
#include <string>

namespace kv {

// Entries 0..201; entries 56 and 201 are empty and send nothing.
inline constexpr int kReadCommandEntries = 202;
// The non-empty entries: the lines one full read sends.
inline constexpr int kReadCommandLines = 200;

using ReadCommandTable = std::array<std::string, kReadCommandEntries>;

// The command texts ("VP,R,", "LA,R,22", ...), built on first use.
const ReadCommandTable& ReadCommands();

}  // namespace kv
