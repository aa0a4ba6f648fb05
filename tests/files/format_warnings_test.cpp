#include "files/format_warnings.h"

#include <gtest/gtest.h>

#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "files/scramble.h"

namespace kv {
namespace {

// Writes the record as a maintenance file and reads it back.
clsInstrument ThroughAFile(const clsInstrument& r, KvdLoadResult* loaded = nullptr) {
  std::string file;
  for (const std::string& text : MaintenanceRecordTexts(r)) file += ScrambleLine(text) + "\r\n";
  clsInstrument back;
  const KvdLoadResult result = ReadMaintenanceText(back, file);
  if (loaded != nullptr) *loaded = result;
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
            "reading the file back stops at its UG line.");
  EXPECT_EQ(notes[1],
            "Note: the sensor type 12 of OPT3 cannot be kept in a maintenance data file; the file "
            "will read back type 18.");
  // The notes tell the truth about the file: the ";" of mask 11 cuts the UG
  // line short, and the reader stops there.
  KvdLoadResult loaded;
  const clsInstrument back = ThroughAFile(r, &loaded);
  EXPECT_NE(back.UG_(4), 11);
  EXPECT_FALSE(loaded.complete);
  EXPECT_NE(loaded.reason.find("UG"), std::string::npos) << loaded.reason;
  // Without the mask, the rest reads back as the notes say.
  ASSERT_TRUE(r.SetUG_(4, 1));
  const clsInstrument rest = ThroughAFile(r, &loaded);
  EXPECT_TRUE(loaded.complete) << loaded.reason;
  EXPECT_EQ(rest.GasType(6), 18);
  EXPECT_EQ(rest.UG_(3), 10);
}

TEST(MaintenanceFileWarnings, AnOrdinaryRecordNeedsNone) {
  EXPECT_TRUE(MaintenanceFileWarnings(clsInstrument{}).empty());
}

}  // namespace
}  // namespace kv
