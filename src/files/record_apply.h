#pragma once
// Applying one record text of a maintenance data file ("AP,W,1,") to a
// record, with the file reader's rules. The simulated instrument applies the
// write commands it receives the same way.
#include <string>
#include <string_view>

#include "model/instrument.h"
#include "protocol/token.h"

namespace kv {

// Comment ";" and delimiter ",", nothing else: the tokenizer every record
// text is split with.
void ConfigureRecordTokenizer(clsToken& token);

// True for the 63 codes a maintenance data file holds (any letter case).
bool IsRecordCode(std::string_view code);

// Splits `text` with `token` (configured by ConfigureRecordTokenizer) and
// stores its fields in `r` through the setters. The code is matched in any
// letter case; the access letter is not looked at; a line with another code
// changes nothing and succeeds. False, with `reason` (may be null) saying why,
// when the line holds fewer fields than the shortest form of its record (a
// cut line: nothing is stored), a field does not convert, an index lies
// outside its table or the line has more than 129 fields; fields stored
// before the failing one stay stored.
bool ApplyRecordText(clsInstrument& r, clsToken& token, std::string_view text,
                     std::string* reason);

}  // namespace kv
