#pragma once
// The "Other Setting" grid: 24 single settings, one per row, each a free
// value, a check box or a choice from a list kept in the row's hidden third
// column.
#include <QString>
#include <QVariant>
#include <span>

#include "app/settings_grid.h"
#include "model/instrument.h"

namespace kv {

enum class OtherRowKind { Free = 0, Check = 1, Choice = 2 };

// The lists of the choice rows.
enum class OtherList { None, AlarmLatching, Confirmation, PastDueAction, Language, CatalyticUnit,
                       OxyAlarmPattern, LeakCheckMode, BarHoleTime, OffOn };

struct OtherRow {
  int row;
  int captionId;  // message text of the caption
  OtherRowKind kind;
  OtherList list;
  QVariant (*value)(const clsInstrument&);
};

inline constexpr int kOtherSettingRows = 25;
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

}  // namespace kv
