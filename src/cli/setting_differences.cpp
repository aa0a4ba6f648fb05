#include "cli/setting_differences.h"

#include "cli/json_text.h"
#include "ops/service_snapshots.h"
#include "rules/setting_display.h"
#include "rules/setting_names.h"

namespace kv::cli {
namespace {

std::string DifferenceJson(const SettingInfo& setting, const clsInstrument& a,
                           const clsInstrument& b, int index) {
  const rules::SettingChange change = rules::DescribeChange(setting, index, a, b);
  return "  {\"name\": " + JsonString(change.name) +
         ", \"setting\": " + JsonString(SettingLabel(setting, index)) +
         ", \"old\": " + JsonString(change.before) + ", \"new\": " + JsonString(change.after) +
         ", \"old_value\": " + JsonValue(ToViewValue(setting.get(a, index))) +
         ", \"new_value\": " + JsonValue(ToViewValue(setting.get(b, index))) + "}";
}

}  // namespace

DifferenceListing ListDifferences(const clsInstrument& a, const clsInstrument& b, bool json) {
  DifferenceListing listing;
  std::string& out = listing.text;
  for (const ops::RecordDifference& difference : ops::CompareRecords(a, b)) {
    const SettingInfo& setting = *difference.setting;
    if (json) {
      out += (listing.count == 0 ? "" : ",\n") + DifferenceJson(setting, a, b, difference.index);
    } else {
      out += rules::DescribeChange(setting, difference.index, a, b).Line() + "\n";
    }
    ++listing.count;
  }
  if (json) out = listing.count == 0 ? "[]\n" : "[\n" + out + "\n]\n";
  return listing;
}

}  // namespace kv::cli
