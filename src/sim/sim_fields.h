#pragma once
// Reply texts and field encodings as the instrument writes them. A reply text
// is the command head ("XX,A,") followed by every field and a comma, exactly
// the shape of the program's own write lines, so that an empty last field
// still counts as a field.
#include <string>
#include <string_view>
#include <vector>

#include "common/datetime.h"
#include "model/instrument.h"

namespace kv::sim {

// "XX,A," + each field + ",".
std::string ReplyText(std::string_view code, char access, const std::vector<std::string>& fields);
// The head followed by one control character in place of data (ACK, NAK, SUB).
std::string ControlReply(std::string_view code, char access, char control);

// A reading-type value with `places` decimal places ("FFFF" and the like for codes).
std::string ValueField(Single value, int places);
// A value of a catalytic channel as the raw count the sensor reports: the
// count of `value` at the channel's decimal places, scaled by FL_(0) over the
// channel's full scale. "0000" when either of them is not positive.
std::string CatalyticRawField(const clsInstrument& r, int channel, Single value);
// A calibration history value of a catalytic channel: value x FL_(0) / 100.
std::string CatalyticHistoryField(const clsInstrument& r, int channel, Single value);
// The unit index of a unit text; a text the instrument does not know travels
// as "F", which reads back as no unit.
std::string UnitField(std::string_view unit);
// "YYMMDDhhnnss".
std::string DateField(const DateTime& value);
// Decimal text of a whole number.
std::string Dec(long value);
// The channel value in the form its type needs on the wire (SA, DN).
std::string ChannelValueField(const clsInstrument& r, int channel, Single value);

}  // namespace kv::sim
