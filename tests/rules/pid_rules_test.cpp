#include "rules/pid_rules.h"

#include <gtest/gtest.h>

#include <cmath>

#include "rules/pid_scales.h"
#include "rules_expect.h"

namespace kv::rules {
namespace {

// Entry 16 of each range as a valid import leaves it. The instrument holds
// factors as whole numbers, so only full scales whose factor range holds one
// can make a valid row.
const PidRowTexts kHighRow = {"17", "IBT", "ISOBUTYLENE", "2000", "1/1", "ppm", "1",
                              "50", "100", "*****",       "25",   "100", "1.00"};
const PidRowTexts kLowRow = {"17",   "BNZ",  "Benzene (C6H6)", "50.00", "1/100", "ppm", "0.02",
                             "1.00", "2.00", "*****",          "0.50",  "5.00",  "1.00"};

TEST(PidRowCheck, AcceptsAValidRowOfEachRange) {
  for (const auto& [range, row] :
       {std::pair{kPidHighRange, kHighRow}, std::pair{kPidLowRange, kLowRow}}) {
    const auto checks = CheckPidRow(range, 16, row);
    for (int column = 0; column < kPidColumns; ++column) {
      const EditCheck& check = checks[static_cast<std::size_t>(column)];
      EXPECT_TRUE(check.accepted) << "range " << range << " column " << column << ": "
                                  << check.reason;
      EXPECT_EQ(check.text, row[static_cast<std::size_t>(column)])
          << "range " << range << " column " << column;
    }
  }
}

// One cell of a valid row changed, the other cells as they were.
struct PidCase {
  int range;
  int column;
  EditCase edit;  // row unused
};

TEST(PidRowCheck, ChecksEachColumnAgainstItsRow) {
  const std::string digitHigh = "accepts 1 to 250";
  const std::string name3 = "accepts up to 3 characters: A-Z, 0-9, '-' and inner blanks";
  const std::string name20 = "accepts up to 20 characters: printable ASCII except {, }, comma and semicolon";
  const std::string highScales =
      "one of: 500.0, 1000, 1500, 2000, 2500, 3000, 4000, 5000, 10000, 15000, 20000, 30000, 50000";
  const std::string lowScales =
      "one of: 10.00, 15.00, 20.00, 25.00, 30.00, 40.00, 50.00, 100.0, 150.0, 200.0, 300.0, "
      "400.0, 500.0";
  const PidCase cases[] = {
      {0, 1, {0, "IBTX", false, name3}},
      {0, 1, {0, "ibt", false, name3}},
      {0, 1, {0, "", false, "needs a value"}},
      {0, 2, {0, "ABCDEFGHIJKLMNOPQRSTU", false, name20}},
      {0, 2, {0, "ABC,DEF", false, name20}},  // a comma would split the line's field
      {0, 2, {0, "ABC;DEF", false, name20}},  // a semicolon would end a file's line
      // Full scale: one of the range's list, shown as the table shows it.
      {0, 3, {0, "1000.0", true, "1000"}},
      {0, 3, {0, "1200", false, highScales}},
      {1, 3, {0, "10", true, "10.00"}},
      {1, 3, {0, "1000", false, lowScales}},
      // Point: the resolution of the row's full scale.
      {0, 4, {0, "1/10", false, "accepts 1/1 for this FullScale"}},
      {1, 4, {0, "1/1000", false, "accepts 1/100 for this FullScale"}},
      {0, 5, {0, "ppb", false, "one of: ppm"}},
      // Digit: steps of the Point, from the full scale's digit value to 250 steps.
      {0, 6, {0, "2", true, "2"}},
      {0, 6, {0, "250", true, "250"}},
      {0, 6, {0, "251", false, digitHigh}},
      {0, 6, {0, "0.5", false, digitHigh}},  // finer than the sensor's step
      {1, 6, {0, "0.02", true, "0.02"}},
      {1, 6, {0, "2.50", true, "2.50"}},
      {1, 6, {0, "0.01", false, "accepts 0.02 to 2.50 in steps of 0.01"}},
      {1, 6, {0, "0.005", false, "accepts 0.02 to 2.50 in steps of 0.01"}},
      {1, 6, {0, "2.51", false, "accepts 0.02 to 2.50 in steps of 0.01"}},
      // Levels: empty or "*****" stand for no level; the 1st not above the 2nd.
      {0, 7, {0, "", true, "*****"}},
      {0, 9, {0, "30", true, "30"}},
      {1, 10, {0, "0.5", true, "0.50"}},
      {0, 7, {0, "-1", false, "accepts 0 to 2000 or *****"}},
      {0, 11, {0, "abc", false, "accepts 0 to 2000 or *****"}},
      // A level lies within the full scale, in steps of the Point: four hex
      // digits could not carry more.
      {0, 9, {0, "2001", false, "accepts 0 to 2000 or *****"}},
      {1, 9, {0, "50.01", false, "accepts 0.00 to 50.00 in steps of 0.01 or *****"}},
      {1, 9, {0, "0.005", false, "accepts 0.00 to 50.00 in steps of 0.01 or *****"}},
      {0, 7, {0, "101", false, "accepts 0 to the 2nd level 100"}},
      {0, 8, {0, "49", false, "accepts the 1st level 50 or more"}},
      {1, 7, {0, "2.00", true, "2.00"}},
      // Factor: the range of the full scale, as the whole number the
      // instrument holds; never left out, never rounded.
      {0, 12, {0, "1", true, "1.00"}},
      {0, 12, {0, "1.00", true, "1.00"}},
      {0, 12, {0, "1.24", false, "accepts 1.00 to 1.24, held as a whole number (1); 1.24 would be stored as 1.00"}},
      {0, 12, {0, "2", false, "accepts 1.00 to 1.24, held as a whole number (1)"}},
      {1, 12, {0, "0.30", false, "accepts 1.00 to 1.99, held as a whole number (1)"}},
      {1, 12, {0, "1.5", false, "accepts 1.00 to 1.99, held as a whole number (1); 1.5 would be stored as 2.00"}},
      {0, 12, {0, "", false, "needs a value"}},
      {0, 12, {0, "*****", false, "needs a value"}},
  };
  for (const PidCase& c : cases) {
    const PidRowTexts& row = c.range == kPidHighRange ? kHighRow : kLowRow;
    ExpectEdit(CheckPidCell(c.range, 16, row, c.column, c.edit.text), c.edit,
               "range " + std::to_string(c.range) + " column " + std::to_string(c.column));
  }
}

TEST(PidRowCheck, FollowsTheFullScaleOfTheRow) {
  PidRowTexts row = kHighRow;
  row[kPidFullScale] = "500.0";  // resolution 1/10, digit 0.2, factor 0.25..0.49
  const auto checks = CheckPidRow(kPidHighRange, 16, row);
  EXPECT_FALSE(checks[kPidPoint].accepted);
  EXPECT_TRUE(checks[kPidDigit].accepted) << "1 is a coarser step than 0.2";
  EXPECT_FALSE(checks[kPidFactor].accepted);
  EXPECT_TRUE(CheckPidCell(kPidHighRange, 16, row, kPidPoint, "1/10").accepted);
  row[kPidFullScale] = "1234";  // no such full scale: nothing depending on it passes
  for (const int column : {kPidPoint, kPidDigit, kPidFactor}) {
    EXPECT_FALSE(CheckPidRow(kPidHighRange, 16, row)[static_cast<std::size_t>(column)].accepted)
        << column;
  }
}

TEST(PidRowCheck, NoFactorFitsAFullScaleWhoseRangeHoldsNoWholeNumber) {
  PidRowTexts row = kHighRow;
  row[kPidFullScale] = "1000";  // factor 0.50 to 0.74
  EXPECT_EQ(CheckPidCell(kPidHighRange, 16, row, kPidFactor, "0.6").reason,
            "accepts 0.50 to 0.74, held as a whole number: no factor fits");
}

TEST(PidRowCheck, AnUnusedEntryKeepsItsCellsAsTheyStand) {
  // No full scale: a range the instrument does not use, as an instrument
  // reports it; it exports and imports as it is.
  const PidRowTexts unused = {"17", "", "", "0", "1/1", "ppm", "0", "0", "0", "0", "0", "0", "0.00"};
  const auto checks = CheckPidRow(kPidHighRange, 16, unused);
  for (int column = 1; column < kPidColumns; ++column) {
    EXPECT_TRUE(checks[static_cast<std::size_t>(column)].accepted) << column;
    EXPECT_EQ(checks[static_cast<std::size_t>(column)].text, unused[static_cast<std::size_t>(column)]);
  }
  // Once it has a full scale it is a used range, and needs its names.
  PidRowTexts named = unused;
  named[kPidFullScale] = "2000";
  EXPECT_FALSE(CheckPidRow(kPidHighRange, 16, named)[kPidName].accepted);
  // An entry used in the other range only: its names are judged, the rest kept.
  PidRowTexts otherRange = unused;
  otherRange[kPidName] = "ibt";
  otherRange[kPidLongName] = "ISOBUTYLENE";
  const auto checks2 = CheckPidRow(kPidHighRange, 16, otherRange);
  EXPECT_FALSE(checks2[kPidName].accepted);
  EXPECT_TRUE(checks2[kPidLongName].accepted);
  EXPECT_TRUE(checks2[kPidFactor].accepted);
  EXPECT_EQ(CheckPidCell(kPidHighRange, 16, unused, kPidWarn, "50").reason,
            "accepts 0 until the range has a FullScale");
}

TEST(PidEdit, LeavesAnEmptyEntryToTheRowCheck) {
  EXPECT_TRUE(CheckPidEdit(kPidHighRange, 3, kHighRow, kPidName, "").accepted);
  EXPECT_FALSE(CheckPidEdit(kPidHighRange, 3, kHighRow, kPidName, "ibt").accepted);
  EXPECT_FALSE(CheckPidEdit(kPidHighRange, 3, kHighRow, 0, "").accepted);
}

TEST(PidEdit, NamesTheEntrysSetting) {
  EXPECT_EQ(CheckPidEdit(1, 3, kLowRow, kPidName, "ABC").setting, (SettingRef{"PIDName", 3}));
  EXPECT_EQ(CheckPidEdit(1, 3, kLowRow, kPidLongName, "ABC").setting,
            (SettingRef{"PIDLongName", 3}));
  EXPECT_EQ(CheckPidEdit(1, 3, kLowRow, kPidTwa, "1").setting, (SettingRef{"PIDTwa", 3, 1}));
  EXPECT_EQ(CheckPidEdit(0, 16, kHighRow, kPidFactor, "0.6").setting,
            (SettingRef{"PIDFactor", 16, 0}));
}

TEST(PidScales, GiveEveryFullScaleItsResolutionDigitAndFactor) {
  for (const int range : {kPidHighRange, kPidLowRange}) {
    ASSERT_EQ(PidScales(range).size(), 13U);
    for (const PidScale& scale : PidScales(range)) {
      EXPECT_EQ(FindPidScale(range, scale.fullScale), &scale);
      const int point = PidPointOf(scale.resolution);
      ASSERT_GE(point, 0) << scale.fullScaleText;
      // The digit value is a whole number of resolution steps, and the
      // full-scale text carries the resolution's decimal places.
      const double steps = scale.digit * std::pow(10.0, point);
      EXPECT_NEAR(steps, std::round(steps), 1e-9) << scale.fullScaleText;
      EXPECT_EQ(NumberText(scale.fullScale, point), scale.fullScaleText);
      EXPECT_LE(scale.lowestFactor, scale.highestFactor) << scale.fullScaleText;
    }
  }
  EXPECT_EQ(FindPidScale(kPidLowRange, 1000), nullptr);
  EXPECT_EQ(PidPointOf("1/1000"), 3);
  EXPECT_EQ(PidPointOf("1/5"), -1);
}

}  // namespace
}  // namespace kv::rules
