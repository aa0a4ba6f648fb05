#pragma once
// A command line in words: the settings it carries by the names every view
// gives them, with its head kept in parentheses for service staff
// ("User 7 (XZ,W,07)"), and why a transaction stopped at it.
#include <string>
#include <string_view>

#include "link/link.h"
#include "model/instrument.h"

namespace kv {

// The settings a read or write line carries ("XZ,W,07,J.SMITH" gives
// "User 7", "LS,R,07" gives "PID 8 Long Name, PID 8 Name"), channels named
// after the gases `record` holds; more than three as the first "and N more".
// "" for a line that carries no setting (a service command).
std::string CommandSettings(std::string_view commandText, const clsInstrument& record);

// The head of a line: code, access and, for a line per table entry, the
// entry ("XZ,W,07", "GP,W", "LS,R,07").
std::string LineHead(std::string_view commandText);

// "User 7 (XZ,W,07)"; the head alone for a line that carries no setting.
std::string DescribeCommand(std::string_view commandText, const clsInstrument& record);

// Why the link's last transaction stopped: "cancelled", "the line to the
// instrument was lost", "the replies were refused (2 resends)", "no answer
// within 3 s (2 resends)", or an answer that did not report it done.
std::string StopReason(const uclTzif& link);

// Where and why: "User 7 (XZ,W,07): no answer within 3 s (2 resends)".
std::string WhereItStopped(const uclTzif& link, const clsInstrument& record);

}  // namespace kv
