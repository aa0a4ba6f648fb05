#pragma once
// A destructive command answered on a terminal, and what must follow: the
// question shown, the exit status, and the request in the simulator's trace
// only after a yes. Shared by the in-process and the real-terminal tests.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace kv::testsupport {

struct AnswerCase {
  const char* name;
  std::vector<std::string> args;
  std::string answer;
  int exitCode;
  std::string request;  // the trace line the command starts with ("UP,W,")
  bool sent;
  const char* question = "This replaces every setting of the instrument";  // how the question starts

  friend void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.name; }
};

// `shown`: what the terminal showed; `trace`: what the simulator received.
inline void ExpectAnswered(const AnswerCase& c, int exitCode, const std::string& shown,
                           const std::string& trace) {
  EXPECT_NE(shown.find(c.question), std::string::npos) << shown;
  EXPECT_EQ(exitCode, c.exitCode) << shown;
  if (c.sent) {
    EXPECT_NE(trace.find("> " + c.request + "\n"), std::string::npos) << shown;
  } else {
    EXPECT_EQ(trace, "") << "nothing reaches the instrument";
    EXPECT_NE(shown.find("nothing was sent"), std::string::npos) << shown;
  }
}

}  // namespace kv::testsupport
