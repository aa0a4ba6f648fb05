// The differences of two snapshots, by the names the window gives settings.
#include "report/snapshot_differences.h"

#include <gtest/gtest.h>

#include <functional>

#include "common/datetime.h"
#include "support/sample_record.h"

namespace kv::report {
namespace {

struct DifferenceCase {
  const char* name;
  std::function<void(clsInstrument&)> change;  // turns the first snapshot into the second
  std::vector<std::vector<std::string>> expected;  // name, first, second
};

class SnapshotDifferenceTest : public ::testing::TestWithParam<DifferenceCase> {};

TEST_P(SnapshotDifferenceTest, NamesEachDifferingSettingWithBothValues) {
  const clsInstrument first = testsupport::SampleRecord();
  clsInstrument second = first;
  GetParam().change(second);
  std::vector<std::vector<std::string>> shown;
  for (const SnapshotDifference& d : SnapshotDifferences(first, second)) {
    shown.push_back({d.name, d.first, d.second});
  }
  EXPECT_EQ(shown, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, SnapshotDifferenceTest,
    ::testing::Values(
        DifferenceCase{"Nothing", [](clsInstrument&) {}, {}},
        DifferenceCase{"LevelWithItsPlacesAndUnit",
                       [](clsInstrument& r) { ASSERT_TRUE(r.SetWarning(2, 7.5F)); },
                       {{"H2S warning level", "5.0 ppm", "7.5 ppm"}}},
        // Named as every change is: after the gas the earlier snapshot holds there.
        DifferenceCase{"RenamedGas",
                       [](clsInstrument& r) { ASSERT_TRUE(r.SetGasName(5, "NH3")); },
                       {{"VOC name", "VOC", "NH3"}}},
        DifferenceCase{"ListEntryCountedFromOne",
                       [](clsInstrument& r) { ASSERT_TRUE(r.SetXZ_(4, "EVE")); },
                       {{"User 5", "(empty)", "EVE"}}},
        DifferenceCase{"InRecordOrder",
                       [](clsInstrument& r) {
                         ASSERT_TRUE(r.SetXS_(1, "B") && r.SetAlarm(3, 60));
                       },
                       {{"CO alarm level", "50 ppm", "60 ppm"}, {"Station 2", "(empty)", "B"}}},
        // Compared as kvmaint diff compares (ops::CompareRecords): what an
        // upload never writes is a difference too, named as one Transmit
        // does not write.
        DifferenceCase{"WhatTransmitDoesNotWriteIsNamedSo",
                       [](clsInstrument& r) {
                         ASSERT_TRUE(r.SetCalibDate(1, ToSerialDate(DateTime{2026, 1, 2, 3, 4, 5})));
                         r.SetRomNumber(99);
                       },
                       {{"Firmware number (not written by Transmit)", "0", "99"},
                        {"OXY calibration date (not written by Transmit)", "-101", "46024.1278356481"}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::report
