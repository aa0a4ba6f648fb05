#pragma once
// What one cell of a settings grid holds and how its state shows: the kinds
// of cell, their states and colours, the model's roles, and the contents a
// fill writes.
#include <QColor>
#include <QString>
#include <QVariant>
#include <string>

namespace kv {

// What a cell holds.
enum class CellKind {
  Text,    // free text or a number
  Check,   // a check box; the value is a bool
  Choice,  // an index into a "|"-separated list; the text is the list item
  Unused,  // no setting in this row and column: fixed colour, not editable
};

// Where a cell stands; its colour follows from it. An invalid cell holds an
// entry its table refuses (an import, a row the record check refuses) and
// says why in its tool tip; Transmit asks the states, never the colours.
enum class CellState { Normal, Unused, Edited, Invalid };

// Item data roles of the grid's cells.
namespace grid_role {
inline constexpr int kFilledValue = Qt::UserRole + 1;  // the record value behind the cell
inline constexpr int kFilledText = Qt::UserRole + 2;   // the text the fill wrote
inline constexpr int kState = Qt::UserRole + 3;        // CellState as int
inline constexpr int kChoiceList = Qt::UserRole + 4;   // Choice cells: the items, "|"-separated
inline constexpr int kKind = Qt::UserRole + 5;         // CellKind as int
inline constexpr int kValue = Qt::UserRole + 6;  // the value now: the fill's, or an accepted edit's
inline constexpr int kInvalidText = Qt::UserRole + 7;  // Invalid cells: the text refused (typing over it ends the mark)
// True for a cell drawn as one "*" per character (a password); its editor,
// the grid's text and what is written stay exact.
inline constexpr int kMasked = Qt::UserRole + 8;
}  // namespace grid_role

// What the instrument means by a code a cell shows ("*****": not used,
// "?????": not adjustable, "-----": no data); empty for any other text.
QString CodeMeaning(const QString& text);

// The content a fill writes into one cell.
struct CellContent {
  CellKind kind = CellKind::Text;
  QString text;    // Choice: derived from the list and the index
  QVariant value;  // Text: the record value; Check: bool; Choice: the index
  QString list;    // Choice only
};

CellContent TextCell(const QString& text, const QVariant& value);
// Record text (single-byte) shown as it is.
CellContent TextCell(const std::string& latin1);
CellContent NumberCell(long long number);
// A Single shown as a plain number ("0.1", "50000").
CellContent PlainNumberCell(float number);
// A reading or level through FormatGasValue.
CellContent GasValueCell(float value, int decimals);
CellContent CheckCell(bool checked, const QString& text = QString());
CellContent ChoiceCell(const QString& list, int index);
CellContent UnusedCell(const QString& text = QString());
// An unused cell that says so.
CellContent DashesCell();

// The list item at `index`, empty outside the list.
QString ChoiceItem(const QString& list, int index);
// A Single as plain text, at most seven significant digits.
QString PlainNumber(float number);

inline const QString kDashes = QStringLiteral("-----");

// The fixed (caption) colour given to unused cells, the tint of an edited
// cell (shown bold as well) and the colour of a refused one.
QColor FixedCellColour();
QColor EditedCellColour();
QColor InvalidCellColour();

}  // namespace kv
