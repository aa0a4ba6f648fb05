#include "rules/record_check.h"

#include <cstdio>
#include <variant>

#include "model/instrument_settings.h"
#include "rules/setting_apply.h"
#include "rules/setting_rules.h"

namespace kv::rules {
namespace {

SettingRef RefOf(const SettingInfo& info, int index) {
  switch (info.kind) {
    case IndexKind::Scalar:
      return {info.name};
    case IndexKind::PidRange:
      return {info.name, index / kPidRanges, index % kPidRanges};
    default:
      return {info.name, index};
  }
}

bool InScope(const SettingInfo& info, const clsInstrument& record, int index, RecordScope scope) {
  if (scope == RecordScope::All) return true;
  return info.changed != nullptr && info.changed(record, index);
}

std::string ByteName(unsigned char c) {
  if (c == ',') return "a comma";
  if (c == ';') return "a semicolon";
  char text[32];
  std::snprintf(text, sizeof text, "the character 0x%02X", c);
  return text;
}

}  // namespace

std::string SettingProblem::Describe() const {
  return name + " \"" + text + "\": " + reason;
}

std::string TextCarriageProblem(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == ',' || c == ';' || byte < ' ' || byte > '~') {
      return "holds " + ByteName(byte) + ", which a line cannot carry";
    }
  }
  return {};
}

std::vector<SettingProblem> CheckRecord(const clsInstrument& given, RecordScope scope) {
  // The catalytic ratio levels are judged against the ratio channels, which
  // follow from the record; the change flags stay those of the record given.
  clsInstrument record = given;
  SetRatioChannels(record);
  std::vector<SettingProblem> problems;
  for (const SettingInfo& info : AllSettings()) {
    for (int index = 0; index < info.count; ++index) {
      if (!InScope(info, given, index, scope)) continue;
      const SettingRef ref = RefOf(info, index);
      const std::string text = SettingText(record, ref);
      std::string reason;
      const EditCheck check = CheckSettingEdit(record, ref, text);
      if (!check.accepted && !RefusedAsNotEdited(check)) {
        reason = check.reason;
      } else if (std::holds_alternative<Text>(info.get(record, index))) {
        reason = TextCarriageProblem(text);
      }
      if (reason.empty()) continue;
      problems.push_back({ref, SettingCaption(info, record, index), text, std::move(reason)});
    }
  }
  return problems;
}

}  // namespace kv::rules
