#include "app/grid_fill.h"

#include <QLineEdit>
#include <QStyle>
#include <algorithm>

#include "app/grid_layout.h"

namespace kv {
namespace {

// The numbers and long names of the conversion and PID tables take the room
// their texts need; the other columns share the rest.
constexpr int kNumberColumn = 0;
constexpr int kLongNameColumn = 2;

// The list grids' number column is 600 twips wide.
int TwipsToPixels(const QWidget& widget, int twips) {
  constexpr int kTwipsPerInch = 1440;
  return twips * widget.logicalDpiX() / kTwipsPerInch;
}

// The number column is 600 twips wide, or as wide as a check box and the
// largest number need where the style draws them larger.
int NumberColumnWidth(const SettingsGrid& grid) {
  constexpr int kNumberColumnTwips = 600;
  constexpr int kPadding = 24;
  const int needed = grid.style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                     grid.fontMetrics().horizontalAdvance(QString::number(grid.Rows())) + kPadding;
  return std::max(TwipsToPixels(grid, kNumberColumnTwips), needed);
}

void FillList(SettingsGrid& grid, const GridLayout& layout, const clsInstrument& record) {
  FillGrid(grid, layout, record);
  grid.SetColumnFixedWidth(0, NumberColumnWidth(grid));
}

}  // namespace

void FillStationUser(SettingsGrid& vfgStation, SettingsGrid& vfgUser, const clsInstrument& record) {
  FillList(vfgStation, StationLayout(), record);
  FillList(vfgUser, UserLayout(), record);
}

void FillGasName(SettingsGrid& vfgGasName, const clsInstrument& record) {
  FillGrid(vfgGasName, GasNameLayout(), record);
}

void FillChannel(SettingsGrid& vfgChannel, const clsInstrument& record) {
  FillGrid(vfgChannel, ChannelLayout(), record);
}

void FillConversion(SettingsGrid& vfgPreConv, SettingsGrid& vfgUserConv, QLineEdit& txtCount,
                    const clsInstrument& record) {
  for (auto [grid, layout] : {std::pair{&vfgPreConv, &PreDefinedConversionLayout()},
                              std::pair{&vfgUserConv, &UserConversionLayout()}}) {
    FillGrid(*grid, *layout, record);
    grid->SetColumnFitsContents(kNumberColumn);
    grid->SetColumnFitsContents(kLongNameColumn);
  }
  txtCount.setText(QString::number(record.LN_()));
}

void FillMethaneElimination(SettingsGrid& vfgME, const clsInstrument& record) {
  FillGrid(vfgME, MethaneEliminationLayout(), record);
}

void FillGasOptions(SettingsGrid& vfgOtherSet, const clsInstrument& record) {
  FillGrid(vfgOtherSet, GasOptionsLayout(), record);
}

void FillPID(SettingsGrid& vfgPID, int range, const clsInstrument& record) {
  FillGrid(vfgPID, PidLayout(range), record);
  vfgPID.SetColumnFitsContents(kNumberColumn);
  vfgPID.SetColumnFitsContents(kLongNameColumn);
}

void FillAlarmLevels(SettingsGrid& vfgAlarmLevels, const clsInstrument& record) {
  FillGrid(vfgAlarmLevels, AlarmLevelLayout(), record);
}

}  // namespace kv
