#pragma once
// The "Other Setting" grid: 24 single settings, one per row, each a free
// value, a check box or a choice from a list kept in the row's hidden third
// column.
#include <QString>
#include <QVariant>
#include <span>

#include "app/settings_grid.h"
#include "model/instrument.h"
#include "rules/other_setting_rules.h"

namespace kv {

enum class OtherRowKind { Free = 0, Check = 1, Choice = 2 };

// The lists of the choice rows, as the editing rules hold them.
using OtherList = rules::OtherChoiceList;

struct OtherRow {
  int row;
  int captionId;  // message text of the caption
  OtherRowKind kind;
  OtherList list;
  QVariant (*value)(const clsInstrument&);
  // Assigns a value of the kind `value` gives (a list index for choice rows).
  void (*assign)(clsInstrument&, const QVariant&);
};

using rules::kOtherSettingRows;
inline constexpr int kOtherListColumn = 2;

// The rows in the order they are written.
std::span<const OtherRow> OtherRows();
// The list's items joined by "|".
QString OtherListText(OtherList list);

// Writes one row: caption in column 0; column 1 the value as text, a check
// box, or the list item at index `value` (empty outside the list) with the
// list in column 2. Rows outside 1..24 are left alone.
void SetOtherRow(SettingsGrid& grid, int row, const QString& caption, const QVariant& value,
                 OtherRowKind kind, const QString& list);

void FillOtherSetting(SettingsGrid& vfgDatas, const clsInstrument& record);
// Assigns each row whose value differs from the record; a choice row's value
// is its list index (OtherRowValue for a text that is no item).
void StoreOtherSetting(const SettingsGrid& vfgDatas, clsInstrument& record);

}  // namespace kv
