// kvmaint import-csv then send against kvsim: the instrument ends up holding
// exactly the imported entries, and a refused cell leaves the file alone.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kvmaint/harness/inprocess_support.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;

class CsvImportSendTest : public SimulatorTest {
 protected:
  void Import(const std::string& option, const std::string& kvd, const std::string& csvBytes) {
    const std::string csv = dir.File(option.substr(2) + ".csv");
    WriteBytes(csv, csvBytes);
    const ProgramResult imported = Kvmaint({"import-csv", option, kvd, csv});
    EXPECT_EQ(imported.exitCode, 0) << option << ": " << imported.err;
  }
};

TEST_F(CsvImportSendTest, TheInstrumentHoldsExactlyTheImportedEntries) {
  const std::string original = dir.File("original.kvd");
  const ProgramResult read = Run({"get", "--output", original});
  ASSERT_EQ(read.exitCode, 0) << read.err;

  const std::string edited = dir.File("edited.kvd");
  WriteBytes(edited, ReadBytes(original));
  Import("--stations", edited, "1,CSV GATE\r\n2\tCSV YARD\n3,CSV DOCK\r\n");
  Import("--users", edited, "9,CSV.USER\r\n");
  Import("--pid-high", edited, "17,CSV,CSV LONG NAME,2000,1/1,ppm,1,50,100,25,10,100,1.00\r\n");
  Import("--conversion", edited, "1,CSV,Csv gas,3.00,100,200,1000,1.3\r\n");

  const ProgramResult intended = Kvmaint({"diff", original, edited});
  ASSERT_EQ(intended.exitCode, 1) << intended.err;
  EXPECT_THAT(intended.out, HasSubstr("CSV GATE"));
  EXPECT_THAT(intended.out, HasSubstr("CSV YARD"));
  EXPECT_THAT(intended.out, HasSubstr("CSV.USER"));
  EXPECT_THAT(intended.out, HasSubstr("CSV LONG NAME"));
  EXPECT_THAT(intended.out, HasSubstr("Csv gas"));
  // Station 4 on, user 2 on, the other PID entries and conversion rows stay.
  EXPECT_THAT(intended.out, ::testing::Not(HasSubstr("Station 4:")));

  const ProgramResult sent = Run({"send", edited});
  ASSERT_EQ(sent.exitCode, 0) << sent.err;
  ASSERT_EQ(sim.Stop(), 0);
  const ProgramResult held = Kvmaint({"diff", original, dir.File("state-out.kvd")});
  EXPECT_EQ(held.out, intended.out) << "the instrument changed exactly the imported entries";
}

TEST_F(CsvImportSendTest, ARefusedCellLeavesTheFileUntouchedUnlessKeptInvalid) {
  const std::string original = dir.File("original.kvd");
  ASSERT_EQ(Run({"get", "--output", original}).exitCode, 0);
  const std::string before = ReadBytes(original);
  const std::string csv = dir.File("bad.csv");
  WriteBytes(csv, "1,HEX,Hexane,30,100,200,1000,ME\r\n");

  const ProgramResult refused = Kvmaint({"import-csv", "--conversion", original, csv});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_THAT(refused.err, HasSubstr("row 1, column 3 (Factor): \"30\""));
  EXPECT_EQ(ReadBytes(original), before);

  const ProgramResult kept = Kvmaint({"import-csv", "--conversion", "--keep-invalid", original, csv});
  EXPECT_EQ(kept.exitCode, 1);
  EXPECT_NE(ReadBytes(original), before) << "the valid cells were written";
  const ProgramResult blocked = Kvmaint({"export-csv", "--conversion", original, dir.File("out.csv")});
  EXPECT_EQ(blocked.exitCode, 0) << "the refused factor was not stored: " << blocked.err;
}

// A comma ends a field of the maintenance file: the name would come back cut.
TEST_F(CsvImportSendTest, ANameTheFileCannotHoldIsRefused) {
  const std::string original = dir.File("original.kvd");
  ASSERT_EQ(Run({"get", "--output", original}).exitCode, 0);
  const std::string before = ReadBytes(original);
  const std::string csv = dir.File("comma.csv");
  WriteBytes(csv, "1,ALPHA,BETA\r\n");
  const ProgramResult refused = Kvmaint({"import-csv", "--stations", original, csv});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_THAT(refused.err, HasSubstr("\"ALPHA,BETA\" accepts up to 16 characters: printable ASCII "
                                     "except {, }, comma and semicolon"));
  EXPECT_EQ(ReadBytes(original), before);
  // Kept invalid, the file still cannot hold it: nothing is written.
  const ProgramResult kept = Kvmaint({"import-csv", "--stations", "--keep-invalid", original, csv});
  EXPECT_EQ(kept.exitCode, 1);
  EXPECT_THAT(kept.err, HasSubstr("a comma inside a value would split it into two fields"));
  EXPECT_EQ(ReadBytes(original), before);
}

}  // namespace
}  // namespace kv::inproc
