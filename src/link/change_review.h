#pragma once
// The review before Transmit as rows: each setting the upload writes by its
// display name, with the value it has and the value going out, units
// included. A row whose value going out is the one already held is marked
// unchanged, so the review can put it out of the way.
#include <string>
#include <vector>

#include "link/pending_changes.h"

namespace kv {

struct ReviewRow {
  std::string name;    // "CO warning level"
  std::string before;  // "25 ppm"
  std::string after;   // "35 ppm"
  bool unchanged = false;
};

// `before` is what the instrument holds (or, with nothing read from it, the
// file as loaded), `after` the record going out.
std::vector<ReviewRow> ReviewRows(const std::vector<PendingChange>& changes,
                                  const clsInstrument& before, const clsInstrument& after);

}  // namespace kv
