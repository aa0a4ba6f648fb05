#pragma once
// Every settings grid of the window, standalone, with the window's rules,
// filled from one record: for tests of editing and write-back without a window.
#include <QLineEdit>
#include <set>
#include <string>

#include "app/grid_fill.h"
#include "app/grid_store.h"
#include "app/other_setting.h"
#include "app/settings_grid.h"
#include "app/window_grid_rules.h"
#include "model/instrument_settings.h"

namespace kv::test {

struct GridSet {
  explicit GridSet(clsInstrument& record) : record_(record) {
    datas.SetRules(OtherSettingGridRules(record_));
    gasName.SetRules(GasNameGridRules(record_, channel, gasOptions, pidLow));
    channel.SetRules(ChannelGridRules());
    gasOptions.SetRules(GasOptionGridRules());
    methane.SetRules(MethaneGridRules());
    station.SetRules(NameListGridRules(rules::NameList::Station));
    user.SetRules(NameListGridRules(rules::NameList::User));
    userConv.SetRules(UserConversionGridRules());
    pidHigh.SetRules(PidGridRules(0));
    pidLow.SetRules(PidGridRules(1));
    alarmLevels.SetRules(AlarmLevelGridRules(record_));
  }

  // In the window's fill order.
  void Fill() {
    FillOtherSetting(datas, record_);
    FillStationUser(station, user, record_);
    FillGasName(gasName, record_);
    FillChannel(channel, record_);
    FillConversion(preConv, userConv, count, record_);
    FillMethaneElimination(methane, record_);
    FillGasOptions(gasOptions, record_);
    FillPID(pidHigh, 0, record_);
    FillPID(pidLow, 1, record_);
    FillAlarmLevels(alarmLevels, record_);
  }

  SettingsGrids Grids() {
    SettingsGrids grids;
    grids.datas = &datas;
    grids.station = &station;
    grids.user = &user;
    grids.gasName = &gasName;
    grids.channel = &channel;
    grids.userConv = &userConv;
    grids.methane = &methane;
    grids.gasOptions = &gasOptions;
    grids.pid = {&pidHigh, &pidLow};
    grids.alarmLevels = &alarmLevels;
    return grids;
  }

  clsInstrument& record_;
  SettingsGrid datas{QStringLiteral("vfgDatas")};
  SettingsGrid station{QStringLiteral("vfgStation")};
  SettingsGrid user{QStringLiteral("vfgUser")};
  SettingsGrid gasName{QStringLiteral("vfgGasName")};
  SettingsGrid channel{QStringLiteral("vfgChannel")};
  SettingsGrid preConv{QStringLiteral("vfgPreConv")};
  SettingsGrid userConv{QStringLiteral("vfgUserConv")};
  SettingsGrid methane{QStringLiteral("vfgME")};
  SettingsGrid gasOptions{QStringLiteral("vfgOtherSet")};
  SettingsGrid pidHigh{QStringLiteral("vfgPID0")};
  SettingsGrid pidLow{QStringLiteral("vfgPID1")};
  SettingsGrid alarmLevels{QStringLiteral("vfgAlarmLevels")};
  QLineEdit count;
};

// "Name(index)" of every setting whose change flag is set.
inline std::set<std::string> FlaggedSettings(const clsInstrument& record) {
  std::set<std::string> flagged;
  for (const SettingInfo& s : AllSettings()) {
    if (s.changed == nullptr) continue;
    for (int i = 0; i < s.count; ++i) {
      if (s.changed(record, i)) flagged.insert(std::string(s.name) + "(" + std::to_string(i) + ")");
    }
  }
  return flagged;
}

}  // namespace kv::test
