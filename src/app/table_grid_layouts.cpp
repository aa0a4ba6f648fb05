// Layouts of the list and table grids: stations and users, the conversion
// tables and the PID sensor tables.
#include <array>

#include "app/grid_layout.h"

namespace kv {
namespace {

constexpr int kStations = 128;
constexpr int kUsers = 32;
constexpr int kPreDefinedEntries = 30;
constexpr int kUserDefinedEntries = 5;
// The levels of user-defined entry i are LA_ entry 30 + i.
constexpr int kUserLevelsFirst = 30;

// One entry per row from row 0: its number with a check box that marks the
// entry the instrument has selected, and its identifier.
GridLayout ListLayout(int entries, Text (clsInstrument::*identifier)(int) const, int selector) {
  return GridLayout{
      entries, 2, 0, 0, {},
      {
          [selector](const clsInstrument& r, int row) {
            return CheckCell(r.XV_(selector) == row + 1, QString::number(row + 1));
          },
          [identifier](const clsInstrument& r, int row) { return TextCell((r.*identifier)(row)); },
      }};
}

struct ConversionFields {
  Text (clsInstrument::*name)(int) const;
  Text (clsInstrument::*longName)(int) const;
  Integer (clsInstrument::*factor)(int) const;
  int firstLevels;  // LA_ entry of the table's entry 0
};

CellContent EntryNumber(int row) { return UnusedCell(QString::number(row)); }

// Rows 1..entries; the "No" column is a caption-coloured column of numbers.
GridLayout ConversionLayout(int entries, ConversionFields fields) {
  const auto levels = [fields](int row) { return fields.firstLevels + row - 1; };
  return GridLayout{
      entries + 1, 8, 1, 0,
      {"No", "Name", "Long Name", "Factor", "1st", "2nd", "Ratio", "Volt"},
      {
          [](const clsInstrument&, int row) { return EntryNumber(row); },
          [fields](const clsInstrument& r, int row) { return TextCell((r.*fields.name)(row - 1)); },
          [fields](const clsInstrument& r, int row) {
            return TextCell((r.*fields.longName)(row - 1));
          },
          [fields](const clsInstrument& r, int row) {
            const Integer factor = (r.*fields.factor)(row - 1);
            return TextCell(QString::number(factor, 'f', 2), factor);
          },
          [levels](const clsInstrument& r, int row) { return GasValueCell(r.LA_warn(levels(row)), 0); },
          [levels](const clsInstrument& r, int row) {
            return GasValueCell(r.LA_alarm(levels(row)), 0);
          },
          [levels](const clsInstrument& r, int row) {
            return PlainNumberCell(r.LA_ratio(levels(row)));
          },
          [levels](const clsInstrument& r, int row) {
            const Single mode = r.LA_volt(levels(row));
            return TextCell(mode == 1.0f ? QStringLiteral("ME") : QStringLiteral("Normal"), mode);
          },
      }};
}

// "1/1", "1/10", "1/100", "1/1000": one part in 10 to the power of the decimals.
QString PointText(Integer point) {
  constexpr int kMostDecimals = 9;
  const int zeros = point < 0 ? 0 : std::min<int>(point, kMostDecimals);
  return QStringLiteral("1/1") + QString(zeros, QLatin1Char('0'));
}

GridLayout MakePidLayout(int range) {
  constexpr int kPidRows = kPidReachable + 1;
  using Level = Single (clsInstrument::*)(int, int) const;
  const auto level = [range](Level field) {
    return [range, field](const clsInstrument& r, int row) {
      return GasValueCell((r.*field)(row - 1, range), r.PIDPoint(row - 1, range));
    };
  };
  return GridLayout{
      kPidRows, 13, 1, 0,
      {"No", "Name", "Long Name", "FullScale", "Point", "Unit", "Digit", "1st", "2nd", "STEL",
       "TWA", "AutoCal", "Factor"},
      {
          [](const clsInstrument&, int row) { return EntryNumber(row); },
          [](const clsInstrument& r, int row) { return TextCell(r.PIDName(row - 1)); },
          [](const clsInstrument& r, int row) { return TextCell(r.PIDLongName(row - 1)); },
          level(&clsInstrument::PIDFullScale),
          [range](const clsInstrument& r, int row) {
            const Integer point = r.PIDPoint(row - 1, range);
            return TextCell(PointText(point), point);
          },
          [range](const clsInstrument& r, int row) { return TextCell(r.PIDUnit(row - 1, range)); },
          [range](const clsInstrument& r, int row) {
            return PlainNumberCell(r.PIDDigit(row - 1, range));
          },
          level(&clsInstrument::PIDWarn),
          level(&clsInstrument::PIDAlarm),
          level(&clsInstrument::PIDStel),
          level(&clsInstrument::PIDTwa),
          level(&clsInstrument::PIDAutoCal),
          [range](const clsInstrument& r, int row) {
            const Single factor = r.PIDFactor(row - 1, range);
            return TextCell(QString::number(static_cast<double>(factor), 'f', 2), factor);
          },
      }};
}

}  // namespace

const GridLayout& StationLayout() {
  static const GridLayout layout = ListLayout(kStations, &clsInstrument::XS_, 0);
  return layout;
}

const GridLayout& UserLayout() {
  static const GridLayout layout = ListLayout(kUsers, &clsInstrument::XZ_, 1);
  return layout;
}

const GridLayout& PreDefinedConversionLayout() {
  static const GridLayout layout =
      ConversionLayout(kPreDefinedEntries, {&clsInstrument::LB_name, &clsInstrument::LB_longname,
                                            &clsInstrument::LB_fc, 0});
  return layout;
}

const GridLayout& UserConversionLayout() {
  static const GridLayout layout =
      ConversionLayout(kUserDefinedEntries, {&clsInstrument::LO_name, &clsInstrument::LO_longname,
                                             &clsInstrument::LO_fc, kUserLevelsFirst});
  return layout;
}

const GridLayout& PidLayout(int range) {
  static const std::array<GridLayout, kPidRanges> layouts = {MakePidLayout(0), MakePidLayout(1)};
  return layouts[range == 1 ? 1 : 0];
}

}  // namespace kv
