#include "rules/other_setting_rules.h"

#include <array>
#include <initializer_list>

#include "common/messages.h"
#include "common/name_text.h"

namespace kv::rules {
namespace {

using L = OtherChoiceList;

constexpr OtherSettingRule Row(int row, std::string_view setting, int captionId, L list) {
  OtherSettingRule rule{};
  rule.row = row;
  rule.setting = setting;
  rule.captionId = captionId;
  rule.list = list;
  return rule;
}

constexpr OtherSettingRule Choice(int row, std::string_view setting, int captionId, L list) {
  return Row(row, setting, captionId, list);
}

constexpr OtherSettingRule Number(int row, std::string_view setting, int captionId, long lowest,
                                  long highest, bool flagOnAccept = false) {
  OtherSettingRule rule = Row(row, setting, captionId, L::None);
  rule.numeric = true;
  rule.lowest = lowest;
  rule.highest = highest;
  rule.flagOnAccept = flagOnAccept;
  return rule;
}

constexpr OtherSettingRule FreeText(int row, std::string_view setting, int captionId,
                                    std::size_t length, bool exact, KeyFilter keys) {
  OtherSettingRule rule = Row(row, setting, captionId, L::None);
  rule.maxLength = length;
  rule.exactLength = exact;
  rule.keys = keys;
  return rule;
}

constexpr std::array kRules = std::to_array<OtherSettingRule>({
    FreeText(1, "DummySerial", msg::kRowManufactureNumber, 12, false, KeyFilter::NameKeys),
    Choice(2, "AlarmMode", msg::kRowAlarmLatching, L::AlarmLatching),
    Choice(3, "Confermation", msg::kRowConfirmationAlert, L::Confirmation),
    Choice(4, "LogOverWrite", msg::kRowLoggerOverwrite, L::OffOn),
    Choice(5, "LogaClear", msg::kChoicePromptToClearLog, L::OffOn),
    Number(6, "CalLimit", msg::kRowCalibrationTimeLimit, 0, 365, true),
    Choice(7, "DispCalLimit", msg::kRowCalibrationRemainder, L::OffOn),
    Choice(8, "CalCheck", msg::kRowCalPastDueAction, L::PastDueAction),
    Choice(9, "SpecType", msg::kRowLanguage, L::Language),
    Choice(10, "HcMode", msg::kRowCatalyticUnit, L::CatalyticUnit),
    Choice(11, "AlarmO2", msg::kRowOxyAlarmPattern, L::OxyAlarmPattern),
    Choice(12, "LunchBreak", msg::kRowLunchBreak, L::OffOn),
    Choice(13, "AlarmSilence", msg::kRowAlarmSilence, L::OffOn),
    Number(14, "LcdBackLight", msg::kRowLcdBacklightTime, 0, 255),
    Number(15, "LcdContrast", msg::kRowLcdContrast, 0, 15),
    Choice(16, "DispID", msg::kRowIdDisplay, L::OffOn),
    Choice(17, "LBMode", msg::kRowLeakCheckBarHoleMode, L::LeakCheckMode),
    Choice(18, "BarHoleTime", msg::kRowBarHoleMeasuringTime, L::BarHoleTime),
    Choice(19, "LeakBeep", msg::kRowLeakBuzzer, L::OffOn),
    Choice(20, "AutoZero", msg::kRowAirAdjustOnPowerUp, L::OffOn),
    Choice(21, "ConvFc", msg::kRowRelativeResponse, L::OffOn),
    Choice(22, "UsePasswd", msg::kRowPasswordProtection, L::OffOn),
    FreeText(23, "Password", msg::kRowSetPassword, 4, true, KeyFilter::Digits),
    Choice(24, "IRRange", msg::kRowAutoRangeIrSensor, L::OffOn),
});

ChoiceItems Messages(std::initializer_list<int> ids) {
  ChoiceItems items;
  for (const int id : ids) items.push_back(FormatMessage(id));
  return items;
}

bool PassesKeyFilter(KeyFilter keys, char key) {
  switch (keys) {
    case KeyFilter::NameKeys:
      return IsAllowedNameKey(key);
    case KeyFilter::Digits:
      return key >= '0' && key <= '9';
    case KeyFilter::Any:
      break;
  }
  return true;
}

std::string TextReason(const OtherSettingRule& rule) {
  std::string reason = rule.exactLength ? "accepts exactly " : "accepts up to ";
  reason += std::to_string(rule.maxLength);
  reason += rule.keys == KeyFilter::Digits ? " digits"
                                           : " characters: A-Z, a-z, 0-9, '*', '-' and blanks";
  return reason;
}

EditCheck CheckFreeText(const OtherSettingRule& rule, std::string_view text) {
  bool fits = rule.exactLength ? text.size() == rule.maxLength : text.size() <= rule.maxLength;
  for (const char c : text) {
    // Backspace edits the text; it is never part of it.
    fits = fits && c != '\b' && PassesKeyFilter(rule.keys, c);
  }
  return fits ? EditCheck::Accept(std::string(text)) : EditCheck::Refuse(TextReason(rule));
}

}  // namespace

std::span<const OtherSettingRule> OtherSettingRules() { return kRules; }

const OtherSettingRule* OtherSettingRow(int row) {
  if (row < 1 || row >= kOtherSettingRows) return nullptr;
  return &kRules[static_cast<std::size_t>(row - 1)];
}

const OtherSettingRule* OtherSettingBySetting(std::string_view setting) {
  for (const OtherSettingRule& rule : kRules) {
    if (rule.setting == setting) return &rule;
  }
  return nullptr;
}

ChoiceItems OtherChoices(OtherChoiceList list) {
  switch (list) {
    case L::AlarmLatching:
      return Messages({msg::kChoiceLatch, msg::kChoiceReset});
    case L::Confirmation:
      return Messages({msg::kChoiceAlertOff, msg::kChoiceLightOnly, msg::kChoiceBeepOnly,
                       msg::kChoiceLightAndBeep});
    case L::PastDueAction:
      return Messages({msg::kChoiceNotificationOnly, msg::kChoiceMustCalibrate,
                       msg::kChoiceConfirmToCalibration});
    case L::Language:
      return Messages({msg::kChoiceEnglish, msg::kChoiceSpanish, msg::kChoiceFrench,
                       msg::kChoiceItalian, msg::kChoiceGerman});
    case L::CatalyticUnit:
      return SplitChoices("ppm ONLY|%LEL ONLY|vol% ONLY|CHANGE OK");
    case L::OxyAlarmPattern:
      return SplitChoices("H-L|L-LL|H-HH");
    case L::LeakCheckMode:
      return Messages({msg::kChoiceLeakModeOff, msg::kChoiceLeakCheckOnly, msg::kChoiceBarHoleOnly,
                       msg::kChoiceLeakCheckAndBarHole});
    case L::BarHoleTime:
      return SplitChoices("30|45|60");
    case L::OffOn:
      return SplitChoices("Off|On");
    case L::None:
      break;
  }
  return {};
}

bool AcceptsOtherSettingKey(int row, char key) {
  const OtherSettingRule* rule = OtherSettingRow(row);
  return rule == nullptr || PassesKeyFilter(rule->keys, key);
}

EditCheck CheckOtherSetting(int row, std::string_view text) {
  const OtherSettingRule* rule = OtherSettingRow(row);
  if (rule == nullptr) return EditCheck::Refuse("no setting in this row");
  const SettingRef setting{rule->setting};
  if (Trim(text).empty()) return EditCheck::Accept(std::string(text)).Of(setting);
  if (rule->list != L::None) return CheckChoice(text, OtherChoices(rule->list)).Of(setting);
  if (rule->numeric) return CheckWholeNumber(text, rule->lowest, rule->highest).Of(setting);
  return CheckFreeText(*rule, text).Of(setting);
}

int OtherRowValue(int row, std::string_view text) {
  const OtherSettingRule* rule = OtherSettingRow(row);
  if (rule == nullptr) return -1;
  const ChoiceItems items = OtherChoices(rule->list);
  const int index = ChoiceIndex(text, items);
  return index >= 0 ? index : static_cast<int>(items.size()) - 1;
}

}  // namespace kv::rules
