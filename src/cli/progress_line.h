#pragma once
// What an instrument command is doing, on stderr, for a technician at a
// terminal: "connecting to /dev/ttyUSB0 ...", then a bar with counts and the
// time left ("Reading [######......] 57/200  12 s left"). Nothing at all when
// stderr is not a terminal or progress is turned off (--quiet), so scripts
// and logs see only results and errors. Each call rewrites the one line;
// Finish removes it.
#include <chrono>
#include <string>

namespace kv::cli {

class ProgressLine {
 public:
  ProgressLine();
  ~ProgressLine() { Finish(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // Process-wide: --quiet turns every progress line off.
  static void SetQuiet(bool quiet);
  // Whether progress goes to stderr (a terminal, not quiet).
  static bool Enabled();

  // Erases a progress line now on the terminal, before other output.
  static void Clear();

  // Starts a step and shows "label ..." until the first count arrives.
  void SetLabel(std::string label);
  void Show(int done, int total);
  // For a step without counts (a long wait such as the logger erase):
  // "label ... 12 s", the time since the step started.
  void ShowElapsed();
  void Finish();

  // The bar line without terminal control: "Reading [###...] 57/200  12 s left".
  static std::string BarText(const std::string& label, int done, int total, int secondsLeft);

 private:
  using SteadyClock = std::chrono::steady_clock;
  void Write(const std::string& line);

  bool terminal_;
  bool shown_ = false;
  bool counted_ = false;  // a count came since the step started
  std::string label_ = "Working";
  SteadyClock::time_point started_ = SteadyClock::now();
};

}  // namespace kv::cli
