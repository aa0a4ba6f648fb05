// --state and --state-out: the instrument's settings to and from a
// maintenance data file.
#include <gtest/gtest.h>

#include <fstream>

#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "files/scramble.h"
#include "model/instrument_settings.h"
#include "sim/sim_default_state.h"
#include "sim/sim_state_file.h"
#include "support/temp_folder.h"

namespace kv::sim::testing {
namespace {

void Must(bool stored) { ASSERT_TRUE(stored); }

TEST(SimStateFileTest, LoadedFileOverridesTheDemonstrationSettings) {
  testsupport::TempFolder dir;
  ASSERT_TRUE(dir.Ok());
  clsInstrument prepared = MakeDemoInstrument();
  prepared.SetSerialNo("NOT-IN-THE-FILE");
  Must(prepared.SetGasName(4, "NH3"));
  Must(prepared.SetXS_(40, "OUTFALL"));
  Must(prepared.SetFL_(0, 44000));
  prepared.SetIntervals(600);
  ASSERT_TRUE(WriteMaintenanceFile(prepared, dir.File("in.kvd")).ok);

  clsInstrument loaded;
  std::string error;
  ASSERT_TRUE(LoadStateFile(dir.File("in.kvd"), loaded, &error)) << error;
  EXPECT_EQ(loaded.GasName(4), "NH3");
  EXPECT_EQ(loaded.XS_(40), "OUTFALL");
  EXPECT_EQ(loaded.Intervals(), 600);
  EXPECT_FLOAT_EQ(loaded.Ratio(0), 44000.0F);  // derived as the instrument does
  EXPECT_EQ(loaded.SerialNo(), MakeDemoInstrument().SerialNo());
}

TEST(SimStateFileTest, SavedFileReadsBackAsTheSameSettings) {
  testsupport::TempFolder dir;
  ASSERT_TRUE(dir.Ok());
  const clsInstrument held = MakeDemoInstrument();
  std::string error;
  ASSERT_TRUE(SaveStateFile(dir.File("out.kvd"), held, &error)) << error;
  clsInstrument readBack = MakeDemoInstrument();
  readBack.SetPassword("0000");
  Must(readBack.SetLA_warn(5, 3.0F));
  ASSERT_TRUE(ReadMaintenanceFile(readBack, dir.File("out.kvd")).complete);
  EXPECT_EQ(readBack.Password(), held.Password());
  EXPECT_FLOAT_EQ(readBack.LA_warn(5), held.LA_warn(5));
}

TEST(SimStateFileTest, MissingOrBadFileIsAnError) {
  testsupport::TempFolder dir;
  ASSERT_TRUE(dir.Ok());
  clsInstrument settings = MakeDemoInstrument();
  std::string error;
  EXPECT_FALSE(LoadStateFile(dir.File("missing.kvd"), settings, &error));
  EXPECT_NE(error.find("missing.kvd"), std::string::npos);
  std::ofstream(dir.File("bad.kvd"), std::ios::binary)
      << ScrambleLine("AP,W,2,") << "\r\n"
      << ScrambleLine("XS,W,ZZ,NOWHERE,") << "\r\n";
  EXPECT_FALSE(LoadStateFile(dir.File("bad.kvd"), settings, &error));
  EXPECT_NE(error.find("line 2"), std::string::npos) << error;
  EXPECT_EQ(settings.AlarmMode(), MakeDemoInstrument().AlarmMode()) << "a bad file changes nothing";
  EXPECT_FALSE(SaveStateFile(dir.File("no/such/folder/out.kvd"), settings, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace kv::sim::testing
