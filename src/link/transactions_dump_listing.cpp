// The hexadecimal listing of a logger area: the rows the dispatcher collects
// from the ETB blocks of the reply, written as pages of 16 rows.
#include <cstdio>
#include <string>
#include <vector>

#include "common/messages.h"
#include "link/transactions_dump.h"
#include "link/transactions_dump_common.h"

namespace kv {
namespace {

constexpr std::size_t kRowsPerPage = 16;
constexpr std::size_t kBytesPerRow = 16;
constexpr long kRowStep = 16;
constexpr const char* kLineEnd = "\r\n";
constexpr const char* kPageHeader =
    "Adrs   +0 +1 +2 +3 +4 +5 +6 +7  +8 +9 +A +B +C +D +E +F   List Of ASCII   ";
constexpr std::size_t kRuleLength = 74;
// The maker's line in the listing heading.
constexpr const char* kMakerLine = "KORVIN Instruments";

int HexValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  return 0;
}

std::string ListingRow(const DumpListItem& row) {
  std::string hex;
  std::string ascii;
  for (std::size_t i = 0; i < kBytesPerRow; ++i) {
    const std::size_t at = i * 2;
    const int value = at + 1 < row.name.size()
                          ? HexValue(row.name[at]) * 16 + HexValue(row.name[at + 1])
                          : 0xFF;
    hex += HexDigits(static_cast<std::uint64_t>(value), 2) + " ";
    if (i == kBytesPerRow / 2 - 1) hex += " ";
    ascii += value >= 32 && value <= 126 ? static_cast<char>(value) : '.';
  }
  return HexDigits(static_cast<std::uint64_t>(row.address), 6) + " " + hex + "  " + ascii;
}

void AppendPage(uclTzif& link, std::string& text, const std::vector<DumpListItem>& rows,
                std::size_t first) {
  text += std::string(kPageHeader) + kLineEnd + std::string(kRuleLength, '-') + kLineEnd;
  for (std::size_t i = first; i < first + kRowsPerPage; ++i) {
    text += ListingRow(rows[i]) + kLineEnd;
  }
  text += kLineEnd;
  const long last = rows[first + kRowsPerPage - 1].address + kRowStep - 1;
  link.Events().DumpMessage(
      "Get Dump " + HexDigits(static_cast<std::uint64_t>(rows[first].address), 6) + "-" +
      HexDigits(static_cast<std::uint64_t>(last), 6));
}

}  // namespace

std::vector<DumpListItem> FillLastPage(std::vector<DumpListItem> rows) {
  while (rows.size() % kRowsPerPage != 0) {
    rows.push_back(DumpListItem{std::string(32, 'F'), rows.back().address + kRowStep});
  }
  return rows;
}

std::string ListingText(uclTzif& link, const std::string& code, const DateTime& started,
                        const std::vector<DumpListItem>& received) {
  std::string text;
  text += std::string(";\tKORVIN Data Logger Program") + kLineEnd;
  text += ";\tFlush Dump (" + code + ") List" + FormatGeneralDate(started) + kLineEnd;
  text += std::string(";\t") + kMakerLine + kLineEnd;
  text += kLineEnd;
  const std::vector<DumpListItem> rows = FillLastPage(received);
  for (std::size_t first = 0; first < rows.size(); first += kRowsPerPage) {
    AppendPage(link, text, rows, first);
  }
  text += kLineEnd;
  text += ";\tTotal Download Time = " + FormatElapsed(SecondsBetween(started, link.Now())) +
          kLineEnd;
  return text;
}

Transaction GetRomDump(uclTzif& link, std::string path, std::string code, DumpOptions options) {
  const DateTime started = link.Now();
  link.AddLog(FormatMessage(msg::kDumpListStartedLog, {FormatGeneralDate(started)}));
  ReplySink sink;
  const std::string command = code + ",R,";
  const LinkStatus ended = co_await link.SendAndWait(sink, command, LinkStatus::BlockTransfer);
  const std::string text = ListingText(link, code, started, sink.dumpList);
  const bool written = FilesOf(options).WriteText(path, text);
  if (!written) ReportDumpFileError(options, path, "cannot write ");
  const bool ok = ended == LinkStatus::Complete && written;
  if (!ok) link.SetStatus(LinkStatus::Ready);
  co_return ok;
}

}  // namespace kv
