// The fleet pages: every text from an instrument or the history is escaped,
// the page holds no script, and the plot follows the level changes.
#include "fleet/fleet_page.h"

#include <gtest/gtest.h>

#include "files/kvd_writer.h"
#include "support/sample_record.h"

namespace kv::fleet {
namespace {

struct EscapeCase {
  const char* text;
  const char* html;
};

class HtmlTextTable : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(HtmlTextTable, MarkupAndHighBytesBecomeReferences) {
  EXPECT_EQ(HtmlText(GetParam().text), GetParam().html);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HtmlTextTable,
    ::testing::Values(EscapeCase{"KV-0042", "KV-0042"},
                      EscapeCase{"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
                      EscapeCase{"a&b", "a&amp;b"},
                      EscapeCase{"\"x\" 'y'", "&quot;x&quot; &#39;y&#39;"},
                      EscapeCase{"\xB5g/m3", "&#181;g/m3"},  // Latin-1 micro sign
                      EscapeCase{"\x01", "&#65533;"}));

TEST(FleetPageHtml, AHostileSerialIsTextAndThePageHasNoScript) {
  const std::string page = FleetPageHtml(
      {{"<script>alert(1)</script>", "KORVIN \"2\"", "2026-12-11 09:00:00", "", "overdue", "compliant"}});
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
  // The link to the instrument carries the serial percent-encoded.
  EXPECT_NE(page.find("/instrument?serial=%3Cscript%3Ealert%281%29%3C%2Fscript%3E"), std::string::npos);
  EXPECT_NE(page.find("class=\"overdue\""), std::string::npos);
}

history::Event Read(const std::string& time, const clsInstrument& record) {
  history::Event event;
  event.serial = "KV-1";
  event.time = time;
  event.operation = history::kOpRead;
  event.result = "ok";
  event.snapshot = MaintenanceFileText(record);
  return event;
}

TEST(AlarmLevelChanges, KeepsTheChangesAndTheLatestRead) {
  clsInstrument record = testsupport::SampleRecord();
  std::vector<history::Event> events{Read("2026-01-01 08:00:00", record), Read("2026-02-01 08:00:00", record)};
  const int co = 3;
  ASSERT_TRUE(record.SetWarning(co, record.Warning(co) + 10));
  events.push_back(Read("2026-03-01 08:00:00", record));
  events.push_back(Read("2026-04-01 08:00:00", record));
  std::vector<std::string> coTimes;
  for (const LevelPoint& point : AlarmLevelChanges(events)) {
    if (point.channel == co) coTimes.push_back(point.time);
  }
  EXPECT_EQ(coTimes, (std::vector<std::string>{"2026-01-01 08:00:00", "2026-03-01 08:00:00", "2026-04-01 08:00:00"}));
  const std::string svg = LevelPlotSvg(AlarmLevelChanges(events));
  EXPECT_EQ(svg.rfind("<svg", 0), 0U);
  EXPECT_NE(svg.find("<polyline"), std::string::npos);
}

}  // namespace
}  // namespace kv::fleet
