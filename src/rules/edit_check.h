#pragma once
// The answer of every editing rule, and the small checks the rules are made
// of. A rule either accepts a typed text, giving the text the cell shows and
// the value behind it, or refuses it with a short reason that names what the
// cell accepts ("accepts 0 to 255", "one of: Off, On"). The window keeps its
// editor open on a refusal, `kvmaint set` prints the reason, the CSV imports
// mark the cell red.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv::rules {

// The record setting an edit changes: a clsInstrument accessor name with its
// index (channel, table index or PID entry; -1 for a single setting) and, for
// the PID range fields, the range.
struct SettingRef {
  std::string_view name;
  int index = -1;
  int range = -1;
  bool operator==(const SettingRef&) const = default;
};

struct EditCheck {
  bool accepted = false;
  std::string text;              // accepted: the text the cell shows afterwards
  std::optional<double> number;  // accepted: the number, or a choice's list index
  std::string reason;            // refused: what the cell accepts
  // Accepted, but the value kept is not the one typed (a level rounded to its
  // step): why, and what the typed text becomes ("15 becomes 0: ...").
  std::string adjusted;
  SettingRef setting;            // the setting the cell edits

  static EditCheck Accept(std::string text, std::optional<double> number = std::nullopt);
  static EditCheck Refuse(std::string reason);
  EditCheck& Of(SettingRef edited) {
    setting = edited;
    return *this;
  }
};

// The refusals of a cell or setting that no editor edits, as opposed to a
// value the editor refuses.
inline constexpr std::string_view kNotEditable = "this cell is not editable";
inline constexpr std::string_view kNoSuchListEntry = "no such list entry";
inline constexpr std::string_view kNoEditingRule = "no editing rule for this setting";
inline constexpr std::string_view kLevelNotEditable = "this level is not editable";
bool RefusedAsNotEdited(const EditCheck& check);

using ChoiceItems = std::vector<std::string>;

// Blanks and tabs removed at both ends.
std::string_view Trim(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// "a|b|c" as items and back.
ChoiceItems SplitChoices(std::string_view joined);
std::string JoinChoices(std::span<const std::string> items);

// A plain decimal number: optional sign, digits, optional point and digits,
// blanks around it. Parsed without the C locale, so "12.5" reads the same in
// every program.
struct ParsedNumber {
  double value = 0;
  int decimals = 0;  // digits after the point
};
std::optional<ParsedNumber> ParseNumber(std::string_view text);

// value with exactly `decimals` places (0..3), halves away from zero: "12.50".
std::string NumberText(double value, int decimals);

// A whole number from lowest to highest, shown without sign or blanks.
EditCheck CheckWholeNumber(std::string_view text, long lowest, long highest);
// A number from lowest to highest with at most `decimals` places, shown with exactly that many.
EditCheck CheckNumber(std::string_view text, double lowest, double highest, int decimals);

// A number from lowest to highest, shown rounded to `decimals` places.
EditCheck CheckRoundedNumber(std::string_view text, double lowest, double highest, int decimals);

// A factor from lowest to highest. The instrument and the file hold factors
// as whole numbers, so a fraction is refused with what it would become;
// shown with two decimals.
EditCheck CheckWholeFactor(std::string_view text, double lowest, double highest);

// A name of at most maxLength characters, each passing IsValidText; a name
// with symbols is shown without blanks at either end, as the instrument
// keeps it.
EditCheck CheckName(std::string_view text, std::size_t maxLength, bool allowSymbols,
                    bool allowQuote);

// The gas names of every table: up to 3 characters of A-Z, 0-9, '-' and inner
// blanks; and their long names: up to 20 characters, symbols allowed.
EditCheck CheckShortName(std::string_view text);
EditCheck CheckLongName(std::string_view text);

// One of the items, compared trimmed and ignoring case; shows the item as
// listed and gives its index as the number.
EditCheck CheckChoice(std::string_view text, std::span<const std::string> items);

// The index of the first item equal to text (trimmed, ignoring case), -1 when none.
int ChoiceIndex(std::string_view text, std::span<const std::string> items);

}  // namespace kv::rules
