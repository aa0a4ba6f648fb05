#pragma once
// What a settings grid asks while a cell is edited. Each grid of the window
// has one GridRules that answers from kv_rules; the grid and its editors
// hold no rule of their own. Coordinates are whole-table (captions count).
#include <QString>
#include <string>
#include <string_view>

#include "qtedge/latin1.h"
#include "rules/edit_check.h"

namespace kv {

class SettingsGrid;

class GridRules {
 public:
  GridRules() = default;
  virtual ~GridRules() = default;
  GridRules(const GridRules&) = delete;
  GridRules& operator=(const GridRules&) = delete;

  // Before-edit: whether the cell opens an editor.
  virtual bool Editable(const SettingsGrid& grid, int row, int col) const = 0;
  // Before-edit: the items the cell's editor offers; empty for free typing.
  virtual rules::ChoiceItems Choices(const SettingsGrid& /*grid*/, int /*row*/,
                                     int /*col*/) const {
    return {};
  }
  // Whether a cell with choices takes only its items (else typing is free too).
  virtual bool ChoicesOnly(int /*row*/, int /*col*/) const { return true; }
  // Key-press: false drops the key (the editor beeps). Backspace is '\b'.
  virtual bool AcceptsKey(int /*row*/, int /*col*/, char /*key*/) const { return true; }
  // Validate-edit of the typed text (Latin-1).
  virtual rules::EditCheck Check(const SettingsGrid& grid, int row, int col,
                                 std::string_view text) const = 0;
  // After-edit: the accepted entry stands in the cell.
  virtual void AfterEdit(SettingsGrid& /*grid*/, int /*row*/, int /*col*/) {}
  // A check box toggled: false flips it back.
  virtual bool AcceptsCheck(const SettingsGrid& /*grid*/, int /*row*/, int /*col*/,
                            bool /*checked*/) const {
    return true;
  }
  virtual void AfterCheck(SettingsGrid& /*grid*/, int /*row*/, int /*col*/, bool /*checked*/) {}
};

// A cell's text as Latin-1.
std::string CellText(const SettingsGrid& grid, int row, int col);

}  // namespace kv
