#include "files/format_warnings.h"

#include <gtest/gtest.h>

#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "files/scramble.h"

namespace kv {
namespace {

// Writes the record as a maintenance file and reads it back.
clsInstrument ThroughAFile(const clsInstrument& r) {
  std::string file;
  for (const std::string& text : MaintenanceRecordTexts(r)) file += ScrambleLine(text) + "\r\n";
  clsInstrument back;
  (void)ReadMaintenanceText(back, file);
  return back;
}

TEST(MaintenanceFileWarnings, NameEverySettingTheFileWouldChange) {
  clsInstrument r;
  ASSERT_TRUE(r.SetUG_(4, 11));
  ASSERT_TRUE(r.SetGasType(6, 12));
  ASSERT_TRUE(r.SetUG_(3, 10));  // fine: written as ":"

  const auto notes = MaintenanceFileWarnings(r);

  ASSERT_EQ(notes.size(), 2U);
  EXPECT_EQ(notes[0],
            "Note: the channel mapping of OPT1 (mask 11) cannot be kept in a maintenance data file; "
            "the file will read back with a different mapping.");
  EXPECT_EQ(notes[1],
            "Note: the sensor type 12 of OPT3 cannot be kept in a maintenance data file; the file "
            "will read back type 18.");
  // The notes tell the truth about the file.
  const clsInstrument back = ThroughAFile(r);
  EXPECT_NE(back.UG_(4), 11);
  EXPECT_EQ(back.GasType(6), 18);
  EXPECT_EQ(back.UG_(3), 10);
}

TEST(MaintenanceFileWarnings, AnOrdinaryRecordNeedsNone) {
  EXPECT_TRUE(MaintenanceFileWarnings(clsInstrument{}).empty());
}

}  // namespace
}  // namespace kv
