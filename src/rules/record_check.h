#pragma once
// The check of a whole record before anything of it is written, to an
// instrument or to a file. Every setting an editor edits is judged by its
// editor's own rule against the record as it stands, so a row (the PID row,
// the conversion table) or a pair of levels is judged whole, not only the
// cell that was typed; every text must be one the line can carry. Each
// writer runs it first and writes nothing when it finds something.
#include <string>
#include <vector>

#include "model/instrument.h"
#include "rules/edit_check.h"

namespace kv::rules {

struct SettingProblem {
  SettingRef setting;
  std::string name;    // the setting's display name: "CO warning level", "User 7"
  std::string text;    // its value as the editor shows it
  std::string reason;  // in the editor's words: "accepts 0 to 500 or ..."

  // "CO warning level \"NORMAL\": accepts 0 to 500 or *****, ?????, -----"
  std::string Describe() const;
};

enum class RecordScope {
  Changed,  // the settings a write sends: those whose change flag is raised
  All,      // every setting
};

std::vector<SettingProblem> CheckRecord(const clsInstrument& record, RecordScope scope);

// Why a text cannot travel in a line: a comma or a semicolon (they separate
// fields and end a file's line), a control character or a byte outside
// printable ASCII. Empty when it can.
std::string TextCarriageProblem(std::string_view text);

}  // namespace kv::rules
