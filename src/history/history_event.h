#pragma once
// Filling in an event the same way wherever one is recorded: the instrument's
// identity from a record, the time, the user, and the text of a failure to
// record.
#include <string>
#include <string_view>

#include "common/datetime.h"
#include "history/history_store.h"

namespace kv::history {

// The serial number as recorded: the instrument's field without its padding.
std::string SerialText(std::string_view serialField);
// The model as recorded: "KORVIN" and the specification type ("KORVIN type 2").
std::string ModelText(std::string_view specType);

// "yyyy-MM-dd HH:mm:ss", the form events are stored and ordered in.
std::string EventTime(const DateTime& when);

// The operating-system user running the program ("" when unknown).
std::string CurrentUser();

// An event whose serial number is not known says so in its detail.
void NoteIfSerialUnknown(Event& event);

// A new event uid: 128 random bits as a UUID ("xxxxxxxx-xxxx-4xxx-yxxx-xxxxxxxxxxxx").
std::string NewEventUid();

// What the caller says when an event was not recorded.
std::string NotRecordedText(const RecordOutcome& outcome);

}  // namespace kv::history
