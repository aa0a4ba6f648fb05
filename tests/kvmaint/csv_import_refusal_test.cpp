// kvmaint import-csv refuses a file that would move or blank entries when
// read as a table (a header line, another separator) and leaves the
// maintenance data file as it was, with or without --keep-invalid.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "files/kvd_writer.h"
#include "kvmaint/harness/inprocess_support.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;

struct RefusalCase {
  const char* label;
  const char* option;
  std::string csv;
  const char* reason;
};

class CsvImportRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(CsvImportRefusal, NamesTheReasonAndLeavesTheFileAsItWas) {
  const RefusalCase& c = GetParam();
  TempDir dir;
  ASSERT_TRUE(dir.Ok());
  clsInstrument record;
  ASSERT_TRUE(record.SetXZ_(0, "J.SMITH") && record.SetXZ_(1, "A.JONES") &&
              record.SetXS_(0, "NORTH GATE"));
  const std::string kvd = dir.File("users.kvd");
  ASSERT_TRUE(WriteMaintenanceFile(record, kvd).ok);
  const std::string before = ReadBytes(kvd);
  const std::string csv = dir.File("in.csv");
  WriteBytes(csv, c.csv);

  for (const bool keepInvalid : {false, true}) {
    std::vector<std::string> args{"import-csv", c.option};
    if (keepInvalid) args.push_back("--keep-invalid");
    args.insert(args.end(), {kvd, csv});
    const ProgramResult refused = Kvmaint(args);
    EXPECT_EQ(refused.exitCode, 1) << c.label;
    EXPECT_THAT(refused.err, HasSubstr(c.reason)) << c.label;
    EXPECT_THAT(refused.err, HasSubstr("left unchanged")) << c.label;
    EXPECT_EQ(ReadBytes(kvd), before) << c.label << (keepInvalid ? " with --keep-invalid" : "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, CsvImportRefusal,
    ::testing::Values(
        RefusalCase{"HeaderRow", "--users", "No,Name\r\n1,J.SMITH\r\n2,A.JONES\r\n",
                    "line 1 looks like a header, not a table line: it starts with \"No\""},
        RefusalCase{"HeaderWithoutNumberColumn", "--stations", "Station,Name\r\n1,GATE\r\n",
                    "line 1 looks like a header"},
        RefusalCase{"Semicolons", "--users", "1;J.SMITH\r\n2;A.JONES\r\n",
                    "not comma-separated: no line has a comma"},
        RefusalCase{"SemicolonPidRow", "--pid-high",
                    "17;CSV;CSV LONG NAME;2000;1/1;ppm;1;50;100;25;10;100;1.00\r\n",
                    "not comma-separated"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace kv::inproc
