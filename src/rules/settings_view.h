#pragma once
// Every setting of a record as the main window shows it, grouped as its tabs
// and grids group them: a group holds entries (a grid row, or one entry for a
// list of single settings), an entry holds cells with their caption, the
// window's text and unit, and the typed value behind the text. `kvmaint show`
// prints these; nothing here knows about Qt.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/instrument_settings.h"

namespace kv {

// The value behind a cell; monostate for a cell the window shows as unused.
using ViewValue = std::variant<std::monostate, bool, std::int64_t, float, std::string>;

struct ViewCell {
  std::string key;      // snake_case of the caption, for scripts
  std::string caption;  // the window's caption
  ViewValue value;
  std::string text;  // the window's text: "12.5", "-----", "Latch"
  std::string unit;  // the unit the window shows beside a level; may be empty
};

struct ViewEntry {
  std::string label;  // the row caption ("STD1", "3"); empty for a list of single settings
  std::vector<ViewCell> cells;
};

struct ViewGroup {
  std::string_view key;    // "channels"
  std::string_view title;  // "Alarm Levels"
  std::vector<ViewEntry> entries;
};

// The group keys in the window's order.
std::span<const std::string_view> SettingsViewGroupKeys();

// All groups, or only the one with `key` (nothing when no group has it).
std::vector<ViewGroup> BuildSettingsView(const clsInstrument& record);
std::optional<ViewGroup> BuildSettingsViewGroup(const clsInstrument& record, std::string_view key);

// "Warning level(ppm)" -> "warning_level": lower case words joined by "_",
// a parenthesised tail dropped.
std::string ViewKey(std::string_view caption);

// The cell's text with its unit after a number: "12.5 ppm"; codes stand alone.
std::string ShownText(const ViewCell& cell);

// A number with up to `significantDigits` digits, as the grids show plain numbers.
std::string PlainNumber(double value, int significantDigits = 7);

// A record value as a view value; dates as "yyyy/MM/dd HH:mm:ss".
ViewValue ToViewValue(const SettingValue& value);

}  // namespace kv
