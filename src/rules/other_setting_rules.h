#pragma once
// The rules of the "Other Setting" grid: 24 single settings, one per row, each
// typed freely or chosen from a list.
#include <span>
#include <string_view>

#include "rules/edit_check.h"

namespace kv::rules {

enum class OtherChoiceList {
  None,  // a free row
  AlarmLatching,
  Confirmation,
  PastDueAction,
  Language,
  CatalyticUnit,
  OxyAlarmPattern,
  LeakCheckMode,
  BarHoleTime,
  OffOn,
};

// The keys a free row lets through while typing.
enum class KeyFilter { Any, NameKeys, Digits };

struct OtherSettingRule {
  int row;
  std::string_view setting;  // the record setting the row edits
  int captionId;             // message text of the caption
  OtherChoiceList list;
  // Free rows: either a whole number in [lowest, highest] or a text of
  // maxLength characters (exactly, when exactLength) whose characters all pass the key filter.
  bool numeric = false;
  long lowest = 0, highest = 0;
  std::size_t maxLength = 0;
  bool exactLength = false;
  KeyFilter keys = KeyFilter::Any;
  // The calibration limit raises its change flag as soon as an edit is accepted.
  bool flagOnAccept = false;
};

inline constexpr int kOtherSettingRows = 25;  // row 0 and rows 1..24

// Rows 1..24 in row order.
std::span<const OtherSettingRule> OtherSettingRules();
// nullptr outside rows 1..24.
const OtherSettingRule* OtherSettingRow(int row);
// The row that edits `setting` (an accessor name such as "LcdBackLight"), nullptr when none.
const OtherSettingRule* OtherSettingBySetting(std::string_view setting);

// The items of a list, index 0 first; empty for None.
ChoiceItems OtherChoices(OtherChoiceList list);

// Key-press: false drops the key (with a beep in the window).
bool AcceptsOtherSettingKey(int row, char key);

// Validate-edit of column 1. An empty (or blank) entry is accepted and kept;
// choice rows accept only an item of their list; a number gives its value,
// a choice its index.
EditCheck CheckOtherSetting(int row, std::string_view text);

// The value a choice row stores: the index of the first item equal to the
// trimmed text ignoring case, or the last item's index when none is.
int OtherRowValue(int row, std::string_view text);

}  // namespace kv::rules
