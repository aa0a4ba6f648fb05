#include "files/kvd_reader.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <streambuf>
#include <vector>

#include <sys/stat.h>

#include "files/record_apply.h"
#include "files/record_fields.h"
#include "files/scramble.h"
#include "protocol/field_parse.h"

namespace kv {
namespace {

// Conversion levels are readings with the catalytic channel's decimal places,
// but the file holds them before the GP record that gives those places. The
// reader notes each level line and decodes the levels again once the places
// it used turn out to have changed.
struct LevelLine {
  int index;
  std::string warn, alarm;
  int placesUsed;
};

void RedecodeLevels(clsInstrument& r, const std::vector<LevelLine>& levels) {
  const int places = r.GasPoint(0);
  for (const auto& level : levels) {
    if (level.placesUsed == places) continue;
    (void)r.SetLA_warn(level.index, record::DecodeReading(level.warn, places));
    (void)r.SetLA_alarm(level.index, record::DecodeReading(level.alarm, places));
  }
}

bool IsLevelLine(const clsToken& token) {
  if (token.TokenCount() == 0) return false;
  const std::string& code = token.Tokens(0);
  return code.size() == 2 && (code[0] == 'L' || code[0] == 'l') && (code[1] == 'A' || code[1] == 'a');
}

// A read-only view of bytes already in memory.
class MemoryBuffer final : public std::streambuf {
 public:
  explicit MemoryBuffer(std::string_view bytes) {
    // Never written through: the get area only reads.
    char* begin = const_cast<char*>(bytes.data());
    setg(begin, begin, begin + bytes.size());
  }
};

// A file read in blocks, remembering a read error (a filebuf would take it
// for the end of the file).
class FileBuffer final : public std::streambuf {
 public:
  explicit FileBuffer(std::FILE* file) : file_(file) {}
  bool Failed() const { return failed_; }

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const std::size_t got = std::fread(block_, 1, sizeof block_, file_);
    if (got == 0) {
      failed_ = std::ferror(file_) != 0;
      return traits_type::eof();
    }
    setg(block_, block_, block_ + got);
    return traits_type::to_int_type(*gptr());
  }

 private:
  std::FILE* file_;
  char block_[8192];
  bool failed_ = false;
};

enum class LineRead { Line, End, TooLong, FileTooLarge };

// The next line (ended by CR LF, LF or CR) into `line`; `ended` says whether
// a line end closed it. Counts every byte taken in `total`.
LineRead NextLine(std::streambuf& in, std::string& line, bool& ended, std::size_t& total) {
  using Traits = std::streambuf::traits_type;
  line.clear();
  ended = false;
  bool any = false;
  for (;;) {
    const auto c = in.sbumpc();
    if (Traits::eq_int_type(c, Traits::eof())) return any ? LineRead::Line : LineRead::End;
    any = true;
    if (++total > kMaxMaintenanceFileBytes) return LineRead::FileTooLarge;
    const char ch = Traits::to_char_type(c);
    if (ch == '\n' || ch == '\r') {
      ended = true;
      if (ch == '\r' && Traits::eq_int_type(in.sgetc(), Traits::to_int_type('\n'))) {
        in.sbumpc();
        ++total;
      }
      return LineRead::Line;
    }
    if (line.size() >= kMaxLineBytes) return LineRead::TooLong;
    line += ch;
  }
}

KvdLoadResult ReadLines(clsInstrument& r, std::streambuf& in, const RecordTextObserver& observer) {
  clsToken token;
  ConfigureRecordTokenizer(token);
  std::vector<LevelLine> levels;
  KvdLoadResult result{true, 0, {}};
  std::string line;
  bool ended = false;
  std::size_t total = 0;
  for (int lineNumber = 1;; ++lineNumber) {
    const LineRead read = NextLine(in, line, ended, total);
    if (read == LineRead::End) break;
    if (read == LineRead::FileTooLarge) {
      result = {false, lineNumber,
                "the file is larger than " + std::to_string(kMaxMaintenanceFileBytes / 1024) +
                    " KiB, far more than any maintenance data file"};
      break;
    }
    if (read == LineRead::TooLong) {
      result = {false, lineNumber,
                "the line is longer than " + std::to_string(kMaxLineBytes) + " characters, longer than any record"};
      break;
    }
    if (line.empty()) continue;
    if (!ended) {
      result = {false, lineNumber, "the last line has no line end: the file was cut short"};
      break;
    }
    const auto text = line.size() % 2 == 0 ? UnscrambleLine(line) : std::nullopt;
    if (!text) {
      result = {false, lineNumber, "the line is not a scrambled record (cut or damaged)"};
      break;
    }
    const int placesBefore = r.GasPoint(0);
    std::string reason;
    if (!ApplyRecordText(r, token, *text, &reason)) {
      result = {false, lineNumber, reason};
      break;
    }
    if (IsLevelLine(token)) {
      if (const auto index = ParseHex16(token.Tokens(2))) {
        levels.push_back({*index, token.Tokens(3), token.Tokens(4), placesBefore});
      }
    }
    if (observer) observer(lineNumber, *text);
  }
  RedecodeLevels(r, levels);
  return result;
}

}  // namespace

KvdLoadResult ReadMaintenanceStream(clsInstrument& r, std::istream& in,
                                    const RecordTextObserver& observer) {
  std::streambuf* buffer = in.rdbuf();
  if (buffer == nullptr) return {false, 0, "nothing to read"};
  return ReadLines(r, *buffer, observer);
}

KvdLoadResult ReadMaintenanceText(clsInstrument& r, std::string_view content,
                                  const RecordTextObserver& observer) {
  MemoryBuffer buffer(content);
  return ReadLines(r, buffer, observer);
}

KvdLoadResult ReadMaintenanceFile(clsInstrument& r, const std::string& path,
                                  const RecordTextObserver& observer) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (!file) {
    return {false, 0, "cannot open " + path + ": " + std::strerror(errno)};
  }
  // Said at once, with the size, rather than after reading up to the bound.
  struct stat info {};
  if (::fstat(::fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::uint64_t>(info.st_size) > kMaxMaintenanceFileBytes) {
    return {false, 0, path + " is " + std::to_string(info.st_size) + " bytes, larger than " +
                          std::to_string(kMaxMaintenanceFileBytes / 1024) +
                          " KiB, far more than any maintenance data file"};
  }
  FileBuffer buffer(file.get());
  KvdLoadResult result = ReadLines(r, buffer, observer);
  if (buffer.Failed()) {
    return {false, 0, "cannot read " + path + ": " + std::strerror(errno)};
  }
  return result;
}

}  // namespace kv
