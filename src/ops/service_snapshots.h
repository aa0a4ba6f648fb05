#pragma once
// Two records compared, one rule for every front end (kvmaint diff, kvmaint
// history diff, the history window): every setting of the record whose
// values differ, in record order. Each difference also says whether a
// Transmit writes the setting, so a front end can tell what loading the
// second record into the grids and transmitting it would change.
#include <string>
#include <vector>

#include "files/kvd_reader.h"
#include "files/send_check.h"
#include "model/instrument.h"
#include "model/instrument_settings.h"

namespace kv::ops {

struct RecordDifference {
  const SettingInfo* setting;
  int index;
  bool transmitted;  // the setting has a change flag: a Transmit writes it
};

std::vector<RecordDifference> CompareRecords(const clsInstrument& a, const clsInstrument& b);

// A recorded snapshot written back as a maintenance data file to send: only
// one that reads to its end and could be sent is written, whole or not at all.
struct SnapshotRestore {
  bool written = false;
  KvdLoadResult loaded;               // how far the snapshot reads
  std::vector<FileProblem> problems;  // why it could not be sent
  std::string writeError;             // why the file could not be written
};

SnapshotRestore RestoreSnapshot(const std::string& snapshot, const std::string& path);

}  // namespace kv::ops
