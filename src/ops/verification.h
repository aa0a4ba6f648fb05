#pragma once
// The check after a write, the same for the window, kvmaint and station
// mode: every setting the write sent is read back from the instrument and
// must be held as sent, a Single allowing for the rounding of its trip over
// the wire (SameValue). A setting held otherwise is named as the window
// names it ("CO warning level").
#include <string>
#include <vector>

#include "link/pending_changes.h"
#include "model/instrument.h"

namespace kv::ops {

enum class VerifyState { NotAsked, Verified, ReadFailed, Differs };

struct Mismatch {
  std::string name;  // display name
  std::string sent;
  std::string held;
};

struct Verification {
  VerifyState state = VerifyState::NotAsked;
  std::vector<Mismatch> mismatches;
  // "verified", "not verified", "not verified: the read-back failed",
  // "2 settings not as transmitted: CO warning level, H2S alarm level".
  std::string Text() const;
};

// Judges `readBack` against the changes a write sent; names come from
// `before` (the instrument's record before the write) and `sent`.
Verification Verify(const std::vector<PendingChange>& written, const clsInstrument& readBack,
                    const clsInstrument& before, const clsInstrument& sent);

}  // namespace kv::ops
