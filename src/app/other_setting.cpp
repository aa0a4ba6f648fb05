#include "app/other_setting.h"

#include <QHeaderView>
#include <array>
#include <initializer_list>

#include "qtedge/latin1.h"
#include "app/grid_editor.h"
#include "app/grid_rules.h"
#include "app/setting_access.h"
#include "common/messages.h"

namespace kv {
namespace {

// Each kind of row reads and assigns its setting alike.
template <Integer (clsInstrument::*Getter)() const, void (clsInstrument::*Setter)(Integer)>
struct IntegerRow {
  static QVariant Value(const clsInstrument& r) { return static_cast<int>((r.*Getter)()); }
  static void Assign(clsInstrument& r, const QVariant& v) {
    (r.*Setter)(static_cast<Integer>(v.toInt()));
  }
};

template <Text (clsInstrument::*Getter)() const, void (clsInstrument::*Setter)(Text)>
struct TextRow {
  static QVariant Value(const clsInstrument& r) { return ToQString((r.*Getter)()); }
  static void Assign(clsInstrument& r, const QVariant& v) { (r.*Setter)(ToLatin1(v.toString())); }
};

// A switch shows as "Off|On": true is item 1.
template <bool (clsInstrument::*Getter)() const, void (clsInstrument::*Setter)(bool)>
struct SwitchRow {
  static QVariant Value(const clsInstrument& r) { return (r.*Getter)() ? 1 : 0; }
  static void Assign(clsInstrument& r, const QVariant& v) { (r.*Setter)(v.toInt() != 0); }
};

// The language is kept as its digit "0".."4"; anything else selects nothing.
QVariant LanguageValue(const clsInstrument& r) {
  bool ok = false;
  const int index = ToQString(r.SpecType()).trimmed().toInt(&ok);
  return ok ? index : -1;
}

void AssignLanguage(clsInstrument& r, const QVariant& v) {
  r.SetSpecType(std::to_string(v.toInt()));
}

using K = OtherRowKind;
using L = OtherList;
using C = clsInstrument;
// The value and assign functions of a row kind for setting `Name`.
#define KV_OTHER_ROW(Kind, Name) &Kind<&C::Name, &C::Set##Name>::Value, &Kind<&C::Name, &C::Set##Name>::Assign

constexpr std::array kRows = std::to_array<OtherRow>({
    {1, msg::kRowManufactureNumber, K::Free, L::None, KV_OTHER_ROW(TextRow, DummySerial)},
    {2, msg::kRowAlarmLatching, K::Choice, L::AlarmLatching, KV_OTHER_ROW(IntegerRow, AlarmMode)},
    {6, msg::kRowCalibrationTimeLimit, K::Free, L::None, KV_OTHER_ROW(IntegerRow, CalLimit)},
    {3, msg::kRowConfirmationAlert, K::Choice, L::Confirmation,
     KV_OTHER_ROW(IntegerRow, Confermation)},
    {4, msg::kRowLoggerOverwrite, K::Choice, L::OffOn, KV_OTHER_ROW(IntegerRow, LogOverWrite)},
    {5, msg::kChoicePromptToClearLog, K::Choice, L::OffOn, KV_OTHER_ROW(IntegerRow, LogaClear)},
    {20, msg::kRowAirAdjustOnPowerUp, K::Choice, L::OffOn, KV_OTHER_ROW(IntegerRow, AutoZero)},
    {21, msg::kRowRelativeResponse, K::Choice, L::OffOn, KV_OTHER_ROW(IntegerRow, ConvFc)},
    {22, msg::kRowPasswordProtection, K::Choice, L::OffOn, KV_OTHER_ROW(IntegerRow, UsePasswd)},
    {23, msg::kRowSetPassword, K::Free, L::None, KV_OTHER_ROW(TextRow, Password)},
    {24, msg::kRowAutoRangeIrSensor, K::Choice, L::OffOn, KV_OTHER_ROW(IntegerRow, IRRange)},
    {17, msg::kRowLeakCheckBarHoleMode, K::Choice, L::LeakCheckMode,
     KV_OTHER_ROW(IntegerRow, LBMode)},
    {18, msg::kRowBarHoleMeasuringTime, K::Choice, L::BarHoleTime,
     KV_OTHER_ROW(IntegerRow, BarHoleTime)},
    {19, msg::kRowLeakBuzzer, K::Choice, L::OffOn, KV_OTHER_ROW(IntegerRow, LeakBeep)},
    {7, msg::kRowCalibrationRemainder, K::Choice, L::OffOn, KV_OTHER_ROW(SwitchRow, DispCalLimit)},
    {8, msg::kRowCalPastDueAction, K::Choice, L::PastDueAction, KV_OTHER_ROW(IntegerRow, CalCheck)},
    {9, msg::kRowLanguage, K::Choice, L::Language, &LanguageValue, &AssignLanguage},
    {10, msg::kRowCatalyticUnit, K::Choice, L::CatalyticUnit, KV_OTHER_ROW(IntegerRow, HcMode)},
    {11, msg::kRowOxyAlarmPattern, K::Choice, L::OxyAlarmPattern, KV_OTHER_ROW(IntegerRow, AlarmO2)},
    {12, msg::kRowLunchBreak, K::Choice, L::OffOn, KV_OTHER_ROW(IntegerRow, LunchBreak)},
    {13, msg::kRowAlarmSilence, K::Choice, L::OffOn, KV_OTHER_ROW(IntegerRow, AlarmSilence)},
    {14, msg::kRowLcdBacklightTime, K::Free, L::None, KV_OTHER_ROW(IntegerRow, LcdBackLight)},
    {15, msg::kRowLcdContrast, K::Free, L::None, KV_OTHER_ROW(IntegerRow, LcdContrast)},
    {16, msg::kRowIdDisplay, K::Choice, L::OffOn, KV_OTHER_ROW(SwitchRow, DispID)},
});

#undef KV_OTHER_ROW

}  // namespace

std::span<const OtherRow> OtherRows() { return kRows; }

QString OtherListText(OtherList list) {
  QStringList items;
  for (const std::string& item : rules::OtherChoices(list)) items << ToQString(item);
  return items.join(QLatin1Char('|'));
}

void SetOtherRow(SettingsGrid& grid, int row, const QString& caption, const QVariant& value,
                 OtherRowKind kind, const QString& list) {
  if (row <= 0 || row >= grid.Rows()) return;
  grid.SetCaption(row, 0, caption);
  grid.SetCell(row, kOtherListColumn, UnusedCell());
  switch (kind) {
    case OtherRowKind::Free:
      grid.SetCell(row, 1, TextCell(value.toString(), value));
      break;
    case OtherRowKind::Check:
      grid.SetCell(row, 1, CheckCell(value.toBool()));
      break;
    case OtherRowKind::Choice:
      grid.SetCell(row, kOtherListColumn, UnusedCell(list));
      grid.SetCell(row, 1, ChoiceCell(list, value.toInt()));
      break;
  }
}

void FillOtherSetting(SettingsGrid& vfgDatas, const clsInstrument& record) {
  vfgDatas.setUpdatesEnabled(false);
  vfgDatas.Reset(kOtherSettingRows, 3, 1, 1);
  for (const OtherRow& row : OtherRows()) {
    SetOtherRow(vfgDatas, row.row, ToQString(FormatMessage(row.captionId)), row.value(record), row.kind,
                OtherListText(row.list));
    // Not shown in clear to whoever stands by; the editor shows it while editing.
    if (row.captionId == msg::kRowSetPassword) vfgDatas.MaskCell(row.row, 1);
  }
  // The caption column takes 60 % of the width, the list column none.
  vfgDatas.SetCaptionColumnShare(0.6);
  vfgDatas.SetColumnHidden(kOtherListColumn, true);
  vfgDatas.StretchAllColumns();
  vfgDatas.horizontalHeader()->setVisible(false);
  vfgDatas.setUpdatesEnabled(true);
}

void StoreOtherSetting(const SettingsGrid& vfgDatas, clsInstrument& record) {
  for (const OtherRow& row : OtherRows()) {
    if (!vfgDatas.HasEdit(row.row, 1)) continue;
    QVariant shown = vfgDatas.Value(row.row, 1);
    if (row.kind == OtherRowKind::Choice && shown.typeId() == QMetaType::QString) {
      shown = rules::OtherRowValue(row.row, ToLatin1(shown.toString()));
    }
    if (!SameSettingValue(shown, row.value(record))) row.assign(record, shown);
  }
}

}  // namespace kv
