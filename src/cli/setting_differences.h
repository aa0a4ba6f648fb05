#pragma once
// The settings in which two records differ, as kvmaint prints them: one line
// a setting ("Name: old -> new"), or a JSON array.
#include <string>

#include "model/instrument.h"

namespace kv::cli {

// The text to print and how many settings differ.
struct DifferenceListing {
  std::string text;
  int count = 0;
};

DifferenceListing ListDifferences(const clsInstrument& a, const clsInstrument& b, bool json);

}  // namespace kv::cli
