#include "app/window_grid_rules.h"

#include "app/grid_layout.h"
#include "app/settings_grid.h"
#include "rules/gas_name_rules.h"
#include "rules/other_setting_rules.h"
#include "rules/pid_rules.h"
#include "rules/setting_rules.h"
#include "rules/slot_grid_rules.h"

namespace kv {
namespace {

using rules::EditCheck;

// Rows 1..entries of a column as Latin-1 texts.
rules::ChoiceItems ColumnTexts(const SettingsGrid& grid, int col, int entries) {
  rules::ChoiceItems texts;
  for (int row = 1; row <= entries; ++row) texts.push_back(CellText(grid, row, col));
  return texts;
}

class OtherSettingRules final : public GridRules {
 public:
  explicit OtherSettingRules(clsInstrument& record) : record_(record) {}
  bool Editable(const SettingsGrid&, int row, int col) const override {
    return col == 1 && rules::OtherSettingRow(row) != nullptr;
  }
  rules::ChoiceItems Choices(const SettingsGrid&, int row, int) const override {
    const rules::OtherSettingRule* rule = rules::OtherSettingRow(row);
    return rule != nullptr ? rules::OtherChoices(rule->list) : rules::ChoiceItems{};
  }
  bool AcceptsKey(int row, int, char key) const override {
    return rules::AcceptsOtherSettingKey(row, key);
  }
  EditCheck Check(const SettingsGrid&, int row, int, std::string_view text) const override {
    return rules::CheckOtherSetting(row, text);
  }
  void AfterEdit(SettingsGrid&, int row, int) override {
    const rules::OtherSettingRule* rule = rules::OtherSettingRow(row);
    if (rule != nullptr && rule->flagOnAccept) record_.SetChange_CalLimit(true);
  }

 private:
  clsInstrument& record_;
};

class GasNameRules final : public GridRules {
 public:
  GasNameRules(const clsInstrument& record, SettingsGrid& channel, SettingsGrid& options,
               const SettingsGrid& pid)
      : record_(record), channel_(channel), options_(options), pid_(pid) {}

  bool Editable(const SettingsGrid&, int row, int col) const override {
    return rules::GasNameCellEditable(row, col);
  }
  rules::ChoiceItems Choices(const SettingsGrid& grid, int row, int col) const override {
    return rules::GasNameChoices(row, col, record_.GasType(SlotOfRow(row)),
                                 CellText(grid, 1, rules::kGasNameOther), PidNames());
  }
  EditCheck Check(const SettingsGrid& grid, int row, int col,
                  std::string_view text) const override {
    rules::GasNames names;
    for (int slot = 0; slot < kGasSlots; ++slot) {
      names[static_cast<std::size_t>(slot)] = CellText(grid, slot + 1, rules::kGasNameName);
    }
    return rules::CheckGasNameCell(names, row, col, text);
  }
  void AfterEdit(SettingsGrid& grid, int row, int col) override {
    if (col != rules::kGasNameName) return;
    const QString name = grid.Text(row, col);
    channel_.SetCaption(row, 0, name);
    options_.SetCaption(row, 0, name);
    const rules::OtherGasTexts other{CellText(grid, 1, rules::kGasNameOther),
                                     CellText(grid, 1, rules::kGasNameOtherLongName),
                                     CellText(grid, 1, rules::kGasNameOtherRatio)};
    const std::optional<rules::GasNameFill> fill =
        rules::FillAfterGasName(record_.GasType(SlotOfRow(row)), ToLatin1(name), other,
                                PidNames(), ColumnTexts(pid_, rules::kPidLongName, kPidReachable));
    if (!fill) return;
    grid.SetEditedCell(row, rules::kGasNameLongName, ToQString(fill->longName),
                       ToQString(fill->longName));
    if (fill->ratio) {
      grid.SetEditedCell(row, rules::kGasNameRatio, ToQString(*fill->ratio),
                         ToQString(*fill->ratio).toDouble());
    }
  }

 private:
  rules::ChoiceItems PidNames() const { return ColumnTexts(pid_, rules::kPidName, kPidReachable); }

  const clsInstrument& record_;
  SettingsGrid& channel_;
  SettingsGrid& options_;
  const SettingsGrid& pid_;
};

// Check boxes only: nothing opens an editor.
class CheckOnlyRules : public GridRules {
 public:
  bool Editable(const SettingsGrid&, int, int) const override { return false; }
  EditCheck Check(const SettingsGrid&, int, int, std::string_view) const override {
    return EditCheck::Refuse("this cell is not editable");
  }
};

class ChannelRules final : public CheckOnlyRules {
 public:
  bool AcceptsCheck(const SettingsGrid& grid, int row, int col, bool) const override {
    return rules::CheckChannelEdit(CellText(grid, row, 0), row, col).accepted;
  }
  void AfterCheck(SettingsGrid& grid, int row, int col, bool checked) override {
    // Each other slot on this channel, asked one at a time whether the new check clears it.
    for (int other = 1; other <= kGasSlots; ++other) {
      if (other == row || !grid.IsChecked(other, col)) continue;
      rules::ChannelMap map;
      (void)map.Set(SlotOfRow(other), col - 1, true);
      if (!map.Set(SlotOfRow(row), col - 1, checked).empty()) grid.SetChecked(other, col, false);
    }
  }
};

class NameListRules final : public GridRules {
 public:
  explicit NameListRules(rules::NameList list) : list_(list) {}
  bool Editable(const SettingsGrid&, int, int col) const override { return col == 1; }
  EditCheck Check(const SettingsGrid&, int row, int, std::string_view text) const override {
    return rules::CheckListName(list_, row, text);
  }
  // A click makes its entry the only checked one, even a click on the checked entry.
  void AfterCheck(SettingsGrid& grid, int row, int col, bool) override {
    if (!rules::SelectListEntry(list_, row).accepted) return;
    for (int other = 0; other < grid.Rows(); ++other) grid.SetChecked(other, col, other == row);
  }

 private:
  rules::NameList list_;
};

class MethaneRules final : public GridRules {
 public:
  bool Editable(const SettingsGrid&, int row, int col) const override {
    return rules::MethaneCellEditable(row, col);
  }
  EditCheck Check(const SettingsGrid&, int row, int col, std::string_view text) const override {
    return rules::CheckMethaneCell(row, col, text);
  }
};

class GasOptionRules final : public GridRules {
 public:
  bool Editable(const SettingsGrid& grid, int row, int col) const override {
    return rules::GasOptionCellEditable(row, col) && grid.Kind(row, col) == CellKind::Text;
  }
  EditCheck Check(const SettingsGrid&, int row, int col, std::string_view text) const override {
    return rules::CheckZeroSuppress(text).Of(rules::GasOptionSetting(row, col));
  }
};

class UserConversionRules final : public GridRules {
 public:
  bool Editable(const SettingsGrid&, int row, int col) const override {
    return !rules::UserConversionSetting(row, col).name.empty();
  }
  EditCheck Check(const SettingsGrid& grid, int row, int col,
                  std::string_view text) const override {
    const EditCheck edit = rules::CheckUserConversionEdit(row, col, text);
    if (!edit.accepted) return edit;
    rules::ConversionRowTexts texts;
    for (int c = 0; c < rules::kUserConversionColumns; ++c) {
      texts[static_cast<std::size_t>(c)] = CellText(grid, row, c);
    }
    texts[static_cast<std::size_t>(col)] = edit.text;
    // A typed level off its step is refused as `kvmaint set` refuses it,
    // not rounded behind the user's back.
    return rules::Exactly(rules::CheckUserConversionCell(row, texts, col));
  }
};

class PidRules final : public GridRules {
 public:
  explicit PidRules(int range) : range_(range) {}
  bool Editable(const SettingsGrid&, int row, int col) const override {
    return col >= rules::kPidName && clsInstrument::ValidPidEntry(row - 1);
  }
  EditCheck Check(const SettingsGrid& grid, int row, int col,
                  std::string_view text) const override {
    rules::PidRowTexts texts;
    for (int c = 0; c < rules::kPidColumns; ++c) {
      texts[static_cast<std::size_t>(c)] = CellText(grid, row, c);
    }
    texts[static_cast<std::size_t>(col)] = text;
    return rules::CheckPidEdit(range_, row - 1, texts, col, text);
  }

 private:
  int range_;
};

class AlarmLevelRules final : public GridRules {
 public:
  explicit AlarmLevelRules(const clsInstrument& record) : record_(record) {}
  bool Editable(const SettingsGrid&, int row, int col) const override {
    return AlarmLevelOfColumn(col).has_value() && row >= 1 && row <= kSensorChannels;
  }
  rules::ChoiceItems Choices(const SettingsGrid&, int, int) const override {
    return rules::SpecialLevelChoices();
  }
  bool ChoicesOnly(int, int) const override { return false; }
  EditCheck Check(const SettingsGrid& grid, int row, int col,
                  std::string_view text) const override {
    const std::optional<rules::AlarmLevel> level = AlarmLevelOfColumn(col);
    if (!level) return EditCheck::Refuse("this cell is not editable");
    // The other level of the pair as the grid holds it now.
    rules::ChannelLevels levels = rules::ChannelLevelsOf(record_, row - 1);
    levels.warning = grid.Value(row, kAlarmWarning).toDouble();
    levels.alarm = grid.Value(row, kAlarmAlarm).toDouble();
    return rules::CheckAlarmLevel(levels, *level, text);
  }

 private:
  const clsInstrument& record_;
};

}  // namespace

std::optional<rules::AlarmLevel> AlarmLevelOfColumn(int col) {
  switch (col) {
    case kAlarmWarning:
      return rules::AlarmLevel::Warning;
    case kAlarmAlarm:
      return rules::AlarmLevel::Alarm;
    case kAlarmStel:
      return rules::AlarmLevel::Stel;
    case kAlarmTwa:
      return rules::AlarmLevel::Twa;
    case kAlarmSpan:
      return rules::AlarmLevel::Span;
    default:
      return std::nullopt;
  }
}

std::unique_ptr<GridRules> OtherSettingGridRules(clsInstrument& record) {
  return std::make_unique<OtherSettingRules>(record);
}
std::unique_ptr<GridRules> GasNameGridRules(const clsInstrument& record, SettingsGrid& vfgChannel,
                                            SettingsGrid& vfgOtherSet,
                                            const SettingsGrid& lowRangePid) {
  return std::make_unique<GasNameRules>(record, vfgChannel, vfgOtherSet, lowRangePid);
}
std::unique_ptr<GridRules> ChannelGridRules() { return std::make_unique<ChannelRules>(); }
std::unique_ptr<GridRules> MethaneGridRules() { return std::make_unique<MethaneRules>(); }
std::unique_ptr<GridRules> GasOptionGridRules() { return std::make_unique<GasOptionRules>(); }
std::unique_ptr<GridRules> NameListGridRules(rules::NameList list) {
  return std::make_unique<NameListRules>(list);
}
std::unique_ptr<GridRules> UserConversionGridRules() {
  return std::make_unique<UserConversionRules>();
}
std::unique_ptr<GridRules> PidGridRules(int range) { return std::make_unique<PidRules>(range); }
std::unique_ptr<GridRules> AlarmLevelGridRules(const clsInstrument& record) {
  return std::make_unique<AlarmLevelRules>(record);
}

}  // namespace kv
