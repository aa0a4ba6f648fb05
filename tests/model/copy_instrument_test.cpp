#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "model/instrument.h"
#include "model/instrument_settings.h"

namespace kv {
namespace {

// Every "Name(index)" whose value differs between two records, ratio channels
// 7 and 8 left out (the copy recomputes them).
std::set<std::string> Differences(const clsInstrument& a, const clsInstrument& b) {
  std::set<std::string> out;
  for (const SettingInfo& s : AllSettings()) {
    for (int i = 0; i < s.count; ++i) {
      if (s.kind == IndexKind::Channel && i >= 7) continue;
      if (s.get(a, i) != s.get(b, i)) out.insert(std::string(s.name) + "(" + std::to_string(i) + ")");
    }
  }
  return out;
}

// A record whose every setting differs from a fresh one.
clsInstrument VariedRecord() {
  clsInstrument r;
  for (const SettingInfo& s : AllSettings()) {
    for (int i = 0; i < s.count; ++i) {
      SettingValue v = s.get(r, i);
      std::visit([i](auto& x) {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, Text>) x = "T" + std::to_string(i);
        else if constexpr (std::is_same_v<T, bool>) x = !x;
        else x = static_cast<T>(x + 3 + i);
      }, v);
      (void)s.set(r, i, v);
    }
  }
  r.ClearChangeFlags();
  return r;
}

struct CopyCase {
  const char* kind;
  std::function<void(clsInstrument&)> flag;
  std::set<std::string> copied;
};

TEST(CopyInstrument, OnlyChangedCopiesExactlyTheFlaggedSettings) {
  const CopyCase cases[] = {
      {"global", [](auto& r) { r.SetChange_AlarmMode(true); }, {"AlarmMode(0)"}},
      {"per channel", [](auto& r) { r.SetChange_Warn(3, true); }, {"Warning(3)"}},
      {"table entry", [](auto& r) { r.SetChange_XS_(5, true); }, {"XS_(5)"}},
      {"PID range", [](auto& r) { r.SetChange_PIDSpec(2, 1, true); },
       {"PIDFullScale(5)", "PIDPoint(5)", "PIDUnit(5)", "PIDDigit(5)", "PIDWarn(5)", "PIDAlarm(5)",
        "PIDStel(5)", "PIDTwa(5)", "PIDAutoCal(5)", "PIDFactor(5)"}},
      {"one flag for every gas type", [](auto& r) { r.SetChange_GasType(true); },
       {"GasType(0)", "GasType(1)", "GasType(2)", "GasType(3)", "GasType(4)", "GasType(5)",
        "GasType(6)"}},
      {"four levels share an entry's flag", [](auto& r) { r.SetChange_LA_(4, true); },
       {"LA_warn(4)", "LA_alarm(4)", "LA_ratio(4)", "LA_volt(4)"}},
      {"both PID names share a flag", [](auto& r) { r.SetChange_PIDName(9, true); },
       {"PIDLongName(9)", "PIDName(9)"}},
      {"conversion entry", [](auto& r) { r.SetChange_LB_(29, true); },
       {"LB_longname(29)", "LB_name(29)", "LB_fc(29)"}},
  };
  for (const auto& c : cases) {
    clsInstrument src = VariedRecord();
    c.flag(src);
    clsInstrument dst;
    const clsInstrument fresh;
    CopyInstrument(dst, src, true);
    EXPECT_EQ(Differences(dst, fresh), c.copied) << c.kind;
  }
}

TEST(CopyInstrument, FullCopyMakesEverySettingEqual) {
  const clsInstrument src = VariedRecord();
  clsInstrument dst;
  CopyInstrument(dst, src, false);
  EXPECT_TRUE(Differences(dst, src).empty());
  // Copying stores through the setters, so the copy is flagged.
  EXPECT_TRUE(dst.Change_Warn(0));
}

TEST(CopyInstrument, RecomputesTheRatioChannels) {
  clsInstrument src;
  ASSERT_TRUE(src.SetRatio(0, 30000.0f));
  clsInstrument dst;
  CopyInstrument(dst, src, true);
  EXPECT_EQ(dst.GasFullScale(7), 30000.0f);
  EXPECT_EQ(dst.GasDesit(7), 250.0f);
}

}  // namespace
}  // namespace kv
