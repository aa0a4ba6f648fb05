#include "ops/verification.h"

#include "model/instrument_settings.h"
#include "rules/setting_names.h"

namespace kv::ops {
namespace {

const SettingInfo* FindSetting(std::string_view name) {
  for (const SettingInfo& info : AllSettings()) {
    if (info.name == name) return &info;
  }
  return nullptr;
}

}  // namespace

std::string Verification::Text() const {
  switch (state) {
    case VerifyState::NotAsked: return "not verified";
    case VerifyState::Verified: return "verified";
    case VerifyState::ReadFailed: return "not verified: the read-back failed";
    case VerifyState::Differs: break;
  }
  std::string text = std::to_string(mismatches.size()) +
                     (mismatches.size() == 1 ? " setting" : " settings") + " not as transmitted: ";
  for (std::size_t i = 0; i < mismatches.size(); ++i) text += (i ? ", " : "") + mismatches[i].name;
  return text;
}

Verification Verify(const std::vector<PendingChange>& written, const clsInstrument& readBack,
                    const clsInstrument& before, const clsInstrument& sent) {
  Verification verification;
  for (const PendingChange& change : written) {
    const SettingInfo* info = FindSetting(change.setting);
    if (info == nullptr) continue;
    const SettingValue held = info->get(readBack, change.index);
    if (SameValue(held, change.newValue)) continue;
    rules::SettingChange named = rules::DescribeChange(change.setting, change.index, sent, readBack);
    // A channel keeps the name of the gas it had, unless the write named it first.
    if (change.index < kSensorChannels && !before.GasName(change.index).empty()) {
      named.name = rules::DescribeChange(change.setting, change.index, before, readBack).name;
    }
    verification.mismatches.push_back({named.name, named.before, named.after});
  }
  verification.state = verification.mismatches.empty() ? VerifyState::Verified : VerifyState::Differs;
  return verification;
}

}  // namespace kv::ops
