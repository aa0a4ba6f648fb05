#pragma once
// The check of a maintenance data file before anything of it is sent: every
// name against the name rule and its width, every other field against the
// printable ASCII a line carries, every value that the instrument takes only
// within a range. The instrument refuses such a line part way
// through an upload, after the lines before it were written; checked first,
// the file is refused whole and the instrument keeps what it had.
#include <string>
#include <string_view>
#include <vector>

namespace kv {

struct FileProblem {
  int line = 0;        // 1-based
  std::string reason;  // "XS field 2 (\"...\"): ..."
};

class SendCheck {
 public:
  // Checks one record text (fits RecordTextObserver); texts of other codes
  // pass.
  void CheckRecord(int lineNumber, std::string_view text);
  const std::vector<FileProblem>& Problems() const { return problems_; }

 private:
  std::vector<FileProblem> problems_;
};

// Everything that keeps a maintenance data file from being written into an
// instrument or restored as a file: a line the instrument would refuse, a
// file cut short (the line it stops at), and each setting the file sets that
// the editors would refuse (line 0, "CO warning level \"NORMAL\": ...").
// Empty when the file may be used.
std::vector<FileProblem> CheckFileToSend(std::string_view content);

}  // namespace kv
