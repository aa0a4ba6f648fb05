#include "app/other_setting.h"

#include <QHeaderView>
#include <array>
#include <initializer_list>

#include "common/messages.h"
#include "qtedge/latin1.h"

namespace kv {
namespace {

QString JoinMessages(std::initializer_list<int> ids) {
  QStringList items;
  for (const int id : ids) items << ToQString(FormatMessage(id));
  return items.join(QLatin1Char('|'));
}

template <Integer (clsInstrument::*Getter)() const>
QVariant IntegerValue(const clsInstrument& r) {
  return static_cast<int>((r.*Getter)());
}

template <Text (clsInstrument::*Getter)() const>
QVariant TextValue(const clsInstrument& r) {
  return ToQString((r.*Getter)());
}

// A switch shows as "Off|On": true is item 1.
template <bool (clsInstrument::*Getter)() const>
QVariant SwitchValue(const clsInstrument& r) {
  return (r.*Getter)() ? 1 : 0;
}

// The language is kept as its digit "0".."4"; anything else selects nothing.
QVariant LanguageValue(const clsInstrument& r) {
  bool ok = false;
  const int index = ToQString(r.SpecType()).trimmed().toInt(&ok);
  return ok ? index : -1;
}

using K = OtherRowKind;
using L = OtherList;

constexpr std::array kRows = std::to_array<OtherRow>({
    {1, msg::kRowManufactureNumber, K::Free, L::None, &TextValue<&clsInstrument::DummySerial>},
    {2, msg::kRowAlarmLatching, K::Choice, L::AlarmLatching, &IntegerValue<&clsInstrument::AlarmMode>},
    {6, msg::kRowCalibrationTimeLimit, K::Free, L::None, &IntegerValue<&clsInstrument::CalLimit>},
    {3, msg::kRowConfirmationAlert, K::Choice, L::Confirmation,
     &IntegerValue<&clsInstrument::Confermation>},
    {4, msg::kRowLoggerOverwrite, K::Choice, L::OffOn, &IntegerValue<&clsInstrument::LogOverWrite>},
    {5, msg::kChoicePromptToClearLog, K::Choice, L::OffOn, &IntegerValue<&clsInstrument::LogaClear>},
    {20, msg::kRowAirAdjustOnPowerUp, K::Choice, L::OffOn, &IntegerValue<&clsInstrument::AutoZero>},
    {21, msg::kRowRelativeResponse, K::Choice, L::OffOn, &IntegerValue<&clsInstrument::ConvFc>},
    {22, msg::kRowPasswordProtection, K::Choice, L::OffOn, &IntegerValue<&clsInstrument::UsePasswd>},
    {23, msg::kRowSetPassword, K::Free, L::None, &TextValue<&clsInstrument::Password>},
    {24, msg::kRowAutoRangeIrSensor, K::Choice, L::OffOn, &IntegerValue<&clsInstrument::IRRange>},
    {17, msg::kRowLeakCheckBarHoleMode, K::Choice, L::LeakCheckMode,
     &IntegerValue<&clsInstrument::LBMode>},
    {18, msg::kRowBarHoleMeasuringTime, K::Choice, L::BarHoleTime,
     &IntegerValue<&clsInstrument::BarHoleTime>},
    {19, msg::kRowLeakBuzzer, K::Choice, L::OffOn, &IntegerValue<&clsInstrument::LeakBeep>},
    {7, msg::kRowCalibrationRemainder, K::Choice, L::OffOn, &SwitchValue<&clsInstrument::DispCalLimit>},
    {8, msg::kRowCalPastDueAction, K::Choice, L::PastDueAction, &IntegerValue<&clsInstrument::CalCheck>},
    {9, msg::kRowLanguage, K::Choice, L::Language, &LanguageValue},
    {10, msg::kRowCatalyticUnit, K::Choice, L::CatalyticUnit, &IntegerValue<&clsInstrument::HcMode>},
    {11, msg::kRowOxyAlarmPattern, K::Choice, L::OxyAlarmPattern, &IntegerValue<&clsInstrument::AlarmO2>},
    {12, msg::kRowLunchBreak, K::Choice, L::OffOn, &IntegerValue<&clsInstrument::LunchBreak>},
    {13, msg::kRowAlarmSilence, K::Choice, L::OffOn, &IntegerValue<&clsInstrument::AlarmSilence>},
    {14, msg::kRowLcdBacklightTime, K::Free, L::None, &IntegerValue<&clsInstrument::LcdBackLight>},
    {15, msg::kRowLcdContrast, K::Free, L::None, &IntegerValue<&clsInstrument::LcdContrast>},
    {16, msg::kRowIdDisplay, K::Choice, L::OffOn, &SwitchValue<&clsInstrument::DispID>},
});

}  // namespace

std::span<const OtherRow> OtherRows() { return kRows; }

QString OtherListText(OtherList list) {
  switch (list) {
    case L::AlarmLatching:
      return JoinMessages({msg::kChoiceLatch, msg::kChoiceReset});
    case L::Confirmation:
      return JoinMessages({msg::kChoiceAlertOff, msg::kChoiceLightOnly, msg::kChoiceBeepOnly,
                           msg::kChoiceLightAndBeep});
    case L::PastDueAction:
      return JoinMessages({msg::kChoiceNotificationOnly, msg::kChoiceMustCalibrate,
                           msg::kChoiceConfirmToCalibration});
    case L::Language:
      return JoinMessages({msg::kChoiceEnglish, msg::kChoiceSpanish, msg::kChoiceFrench,
                           msg::kChoiceItalian, msg::kChoiceGerman});
    case L::CatalyticUnit:
      return QStringLiteral("ppm ONLY|%LEL ONLY|vol% ONLY|CHANGE OK");
    case L::OxyAlarmPattern:
      return QStringLiteral("H-L|L-LL|H-HH");
    case L::LeakCheckMode:
      return JoinMessages({msg::kChoiceLeakModeOff, msg::kChoiceLeakCheckOnly,
                           msg::kChoiceBarHoleOnly, msg::kChoiceLeakCheckAndBarHole});
    case L::BarHoleTime:
      return QStringLiteral("30|45|60");
    case L::OffOn:
      return QStringLiteral("Off|On");
    case L::None:
      break;
  }
  return {};
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
  }
  // The caption column takes 60 % of the width, the list column none.
  vfgDatas.SetCaptionColumnShare(0.6);
  vfgDatas.SetColumnHidden(kOtherListColumn, true);
  vfgDatas.StretchAllColumns();
  vfgDatas.horizontalHeader()->setVisible(false);
  vfgDatas.setUpdatesEnabled(true);
}

}  // namespace kv
