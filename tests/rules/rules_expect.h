#pragma once
// One expected answer of a rule: accepted with the text shown, or refused
// with the reason given.
#include <gtest/gtest.h>

#include <string>

#include "rules/edit_check.h"

namespace kv::rules {

struct EditCase {
  int row;
  std::string text;
  bool accepted;
  std::string shownOrReason;  // the shown text when accepted, the reason when refused
};

inline void ExpectEdit(const EditCheck& check, const EditCase& c, const std::string& where = {}) {
  const std::string context = where + " row " + std::to_string(c.row) + " \"" + c.text + "\"";
  ASSERT_EQ(check.accepted, c.accepted) << context << " reason: " << check.reason;
  if (c.accepted) {
    EXPECT_EQ(check.text, c.shownOrReason) << context;
  } else {
    EXPECT_EQ(check.reason, c.shownOrReason) << context;
  }
}

}  // namespace kv::rules
