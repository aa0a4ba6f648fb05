#pragma once
// Helpers shared by the rows of the reply catalogue.
#include <optional>
#include <string>
#include <string_view>

#include "common/datetime.h"
#include "model/instrument.h"
#include "protocol/catalogue_rows.h"

namespace kv {

inline constexpr std::string_view kChecksumErrorLog = "<<< Check SUM error >>>";
inline constexpr std::string_view kFormatErrorLog = "<<< Format error >>>";
inline constexpr std::string_view kResponseErrorLog = "<<< Response error >>>";
inline constexpr std::string_view kImproperDateLog = "<<< improper date at HC >>> ";

// What a row returns when a field does not convert. Most rows refuse the
// reply; a row that has already accepted the reply (an acknowledgement that
// only looks for mismatches, or a read that accepts before its last steps)
// keeps it accepted, with the fields before the bad one stored.
inline constexpr bool kRefused = false;
inline constexpr bool kAcceptedSoFar = true;

// Rows whose reply is accepted as it comes.
bool AcceptReply(ReplyContext& ctx);

// Logs the message and refuses the reply.
bool FormatError(ReplyContext& ctx);
bool ResponseError(ReplyContext& ctx);

// Plain acknowledgement: accepted when the first data character is ACK.
bool AcknowledgedWithAck(ReplyContext& ctx);
// Acknowledgements that echo the whole line: the frame must equal the line sent.
bool EchoesLastLine(const ReplyContext& ctx);

// "1" as the first character (blanks ignored) gives 1, anything else 0.
Integer FirstCharFlag(std::string_view field);

// The instrument's date stamp "YYMMDDhhnnss" read as 20YY/MM/DD hh:nn:ss;
// empty unless it has 12 characters and names a real date and time.
inline constexpr std::size_t kDateStampLength = 12;
std::optional<DateTime> DateFromStamp(std::string_view stamp);

// Catalytic values travel relative to the reference FL_(0):
// value x numerator / reference, or nothing when the reference is 0.
std::optional<double> PerReference(double value, double numerator, Long reference);

// Text in upper case (ASCII letters only; other bytes unchanged).
std::string UpperText(std::string_view text);

}  // namespace kv
