#include "cli/progress_line.h"

#include <algorithm>
#include <ostream>

#include "cli/cli_context.h"

namespace kv::cli {
namespace {

bool g_quiet = false;
bool g_lineShown = false;  // a progress line is on the terminal now
constexpr int kBarWidth = 24;

}  // namespace

ProgressLine::ProgressLine() : terminal_(Enabled()) {}

void ProgressLine::SetQuiet(bool quiet) { g_quiet = quiet; }

bool ProgressLine::Enabled() { return !g_quiet && CurrentContext().stderrTerminal; }

void ProgressLine::SetLabel(std::string label) {
  label_ = std::move(label);
  started_ = SteadyClock::now();
  counted_ = false;
  Write(label_ + " ...");
}

void ProgressLine::ShowElapsed() {
  if (!terminal_ || counted_) return;
  const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(SteadyClock::now() - started_);
  Write(label_ + " ... " + std::to_string(elapsed.count()) + " s");
}

std::string ProgressLine::BarText(const std::string& label, int done, int total, int secondsLeft) {
  const int filled = total > 0 && done > 0 ? std::min(kBarWidth, done * kBarWidth / total) : 0;
  std::string line = label + " [" + std::string(static_cast<std::size_t>(filled), '#') +
                     std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] " +
                     std::to_string(done) + "/" + std::to_string(total);
  if (secondsLeft >= 0) line += "  " + std::to_string(secondsLeft) + " s left";
  return line;
}

void ProgressLine::Show(int done, int total) {
  if (!terminal_) return;
  counted_ = true;
  int secondsLeft = -1;
  if (done > 0 && total >= done) {
    const auto elapsed = std::chrono::duration<double>(SteadyClock::now() - started_).count();
    secondsLeft = static_cast<int>(elapsed / done * (total - done) + 0.5);
  }
  Write(BarText(label_, done, total, secondsLeft));
}

void ProgressLine::Write(const std::string& line) {
  if (!terminal_) return;
  // Back to the line's start, the text, the rest of the old line erased.
  std::ostream& err = *CurrentContext().err;
  err << '\r' << line << "\033[K";
  err.flush();
  shown_ = true;
  g_lineShown = true;
}

void ProgressLine::Finish() {
  if (!shown_) return;
  shown_ = false;
  Clear();
}

void ProgressLine::Clear() {
  if (!g_lineShown) return;
  std::ostream& err = *CurrentContext().err;
  err << "\r\033[K";
  err.flush();
  g_lineShown = false;
}

}  // namespace kv::cli
