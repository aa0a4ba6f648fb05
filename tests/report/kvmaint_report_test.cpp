// kvmaint report, run as the program, on maintenance data files.
#include <gtest/gtest.h>

#include "files/kvd_writer.h"
#include "report_test_support.h"
#include "support/sample_record.h"
#include "support/temp_folder.h"

namespace kv::test {
namespace {

using testsupport::RunProgram;
using testsupport::TempFolder;

class KvmaintReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.Ok());
    ASSERT_TRUE(WriteMaintenanceFile(testsupport::SampleRecord(), Kvd()).ok);
  }
  std::string Kvd() const { return folder_.File("sample.kvd"); }
  std::string Pdf() const { return folder_.File("out.pdf"); }

  TempFolder folder_;
};

TEST_F(KvmaintReportTest, WritesTheReportOfAFile) {
  const auto result = RunProgram({KV_KVMAINT_PATH, "report", Kvd(), "--serial", "KV-0042", "--pdf", Pdf(), "--history", "off"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(PdfInfo(Pdf(), "Page size"), "595 x 842 pts (A4)");
  const std::string text = PdfText(Pdf());
  // The file's instrument is the one --serial names; without the history its calibrations are not known.
  for (const char* shown : {"KV-0042", "not read", "CH4", "OXY", "H2S", "CO2", "VOC", "%LEL", "MAIN GATE",
                            "ALICE"}) {
    EXPECT_NE(text.find(shown), std::string::npos) << shown;
  }
}

TEST_F(KvmaintReportTest, LetterPages) {
  const auto result =
      RunProgram({KV_KVMAINT_PATH, "report", Kvd(), "--serial", "KV-0042", "--pdf", Pdf(), "--page", "letter",
                  "--history", "off"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(PdfInfo(Pdf(), "Page size"), "612 x 792 pts (letter)");
}

struct RefusedCase {
  const char* name;
  std::vector<std::string> arguments;  // after "report"; "KVD" and "PDF" stand for the paths
  int exitCode;
  const char* says;
};

class KvmaintReportRefusedTest : public KvmaintReportTest,
                                 public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(KvmaintReportRefusedTest, WritesNothing) {
  std::vector<std::string> argv{KV_KVMAINT_PATH, "report"};
  for (const std::string& argument : GetParam().arguments) {
    argv.push_back(argument == "KVD" ? Kvd() : argument == "PDF" ? Pdf() : argument);
  }
  const auto result = RunProgram(argv);
  EXPECT_EQ(result.exitCode, GetParam().exitCode);
  EXPECT_NE(result.err.find(GetParam().says), std::string::npos) << result.err;
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"sample.kvd"});
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, KvmaintReportRefusedTest,
    ::testing::Values(
        RefusedCase{"NoPdf", {"KVD"}, 2, "--pdf OUT.pdf is required"},
        RefusedCase{"UnknownPage", {"KVD", "--pdf", "PDF", "--page", "a5"}, 2, "a4 or letter"},
        // A maintenance data file keeps no serial number, and no history says whose it is.
        RefusedCase{"FileWithoutSerial", {"KVD", "--pdf", "PDF", "--history", "off"}, 2,
                    "names no instrument (the history is not asked: the history is off): give --serial S"},
        RefusedCase{"NeitherFileNorSerial", {"--pdf", "PDF"}, 2, "give FILE.kvd, --serial S, or both"},
        RefusedCase{"MissingFile", {"nothing.kvd", "--serial", "S1", "--pdf", "PDF"}, 2, "nothing.kvd"},
        RefusedCase{"HistoryOff", {"--serial", "S1", "--pdf", "PDF", "--history", "off"}, 1,
                    "the history is off"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::test
