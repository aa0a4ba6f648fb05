#pragma once
// Text from a file or an instrument shown on a terminal or in a message: its
// control characters are written as escapes ("\x1b"), so that a name cannot
// move the cursor, recolour the terminal or hide what follows it.
#include <string>
#include <string_view>

namespace kv {

// `text` with every control character (0x00-0x1F, 0x7F and the C1 controls
// 0x80-0x9F that some terminals obey) as "\xNN", lower-case hexadecimal.
// Line ends and tabs are kept when `keepLineBreaks` (a message of several
// lines); everything else is left as it is.
std::string PrintableText(std::string_view text, bool keepLineBreaks = false);

}  // namespace kv
