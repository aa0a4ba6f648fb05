#pragma once
// A record setting read and written by the name kv_rules gives it
// (SettingRef), with the value as the grids keep it (QVariant): texts as
// Latin-1 QString, numbers as numbers, switches as bools.
#include <QVariant>

#include "model/instrument.h"
#include "rules/edit_check.h"

namespace kv {

// Invalid where the name is none this table knows.
QVariant ReadSetting(const clsInstrument& record, const rules::SettingRef& setting);
// Assigns through the setting's setter, which raises its change flag.
// False where the name is unknown or the index outside its table.
bool WriteSetting(clsInstrument& record, const rules::SettingRef& setting, const QVariant& value);
// Whether a grid value and a record value stand for the same setting value:
// texts compared as texts, numbers as the record's single precision holds them.
bool SameSettingValue(const QVariant& grid, const QVariant& record);

}  // namespace kv
