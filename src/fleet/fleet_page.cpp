#include "fleet/fleet_page.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "files/kvd_reader.h"
#include "fleet/calibration_merge.h"
#include "rules/edit_check.h"

namespace kv::fleet {
namespace {

constexpr const char* kStyle =
    "body{font-family:sans-serif;margin:1.5em}table{border-collapse:collapse}"
    "th,td{border:1px solid #999;padding:.25em .6em;text-align:left}th{background:#eee}"
    ".overdue,.never{color:#b00;font-weight:bold}.due{color:#a60}";
constexpr int kPlotWidth = 720, kPlotHeight = 260, kMargin = 40;
constexpr const char* kColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e", "#8c564b", "#e377c2"};

std::string Page(const std::string& title, const std::string& body) {
  return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"us-ascii\"><title>" + HtmlText(title) +
         "</title><style>" + kStyle + "</style></head><body>\n" + body + "</body></html>\n";
}

std::string Cell(std::string_view text, std::string_view cssClass = {}) {
  const std::string attribute = cssClass.empty() ? "" : " class=\"" + std::string(cssClass) + "\"";
  return "<td" + attribute + ">" + (text.empty() ? "-" : HtmlText(text)) + "</td>";
}

std::string DueClass(std::string_view due) {
  if (due == "overdue") return "overdue";
  if (due == "never calibrated") return "never";
  return due.starts_with("due") ? "due" : "";
}

// "serial=..." with every byte but letters and digits percent-encoded.
std::string QueryValue(std::string_view text) {
  std::string encoded;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) {
      encoded += c;
    } else {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", byte);
      encoded += escape;
    }
  }
  return encoded;
}

double Share(float value, float fullScale) {
  if (fullScale <= 0 || value < 0 || value > fullScale) return -1;  // a level code or no range
  return value / fullScale;
}

long long SecondsOf(const std::string& time) {
  const std::optional<DateTime> when = ParseDateTime(time);
  return when ? SecondsBetween(DateTime{2000, 1, 1, 0, 0, 0}, *when) : 0;
}

}  // namespace

std::string HtmlText(std::string_view latin1) {
  std::string html;
  for (const char c : latin1) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '&': html += "&amp;"; break;
      case '<': html += "&lt;"; break;
      case '>': html += "&gt;"; break;
      case '"': html += "&quot;"; break;
      case '\'': html += "&#39;"; break;
      default:
        if (byte >= 0x80 || (byte < 0x20 && c != '\n' && c != '\t')) {
          html += "&#" + std::to_string(byte < 0x20 ? 0xFFFD : byte) + ";";
        } else {
          html += c;
        }
    }
  }
  return html;
}

std::vector<LevelPoint> AlarmLevelChanges(const std::vector<history::Event>& events) {
  std::vector<LevelPoint> points;
  std::map<int, std::pair<double, double>> last;  // by channel
  std::map<int, LevelPoint> latest;
  for (const history::Event& event : events) {
    if (event.operation != history::kOpRead || event.result != "ok" || event.snapshot.empty()) continue;
    clsInstrument record;
    ReadMaintenanceText(record, event.snapshot);
    for (int channel = 0; channel < kSensorChannels; ++channel) {
      if (record.GasType(channel) == kGasTypeNone) continue;
      const float fullScale = record.GasFullScale(channel);
      const LevelPoint point{event.time, channel, std::string(rules::Trim(record.GasName(channel))),
                             Share(record.Warning(channel), fullScale), Share(record.Alarm(channel), fullScale)};
      if (point.warningShare < 0 || point.alarmShare < 0) continue;
      const auto seen = last.find(channel);
      const std::pair<double, double> levels{point.warningShare, point.alarmShare};
      if (seen == last.end() || seen->second != levels) {
        points.push_back(point);
        last[channel] = levels;
        latest.erase(channel);
      } else {
        latest[channel] = point;  // unchanged: drawn to the latest read
      }
    }
  }
  for (const auto& [channel, point] : latest) points.push_back(point);
  std::stable_sort(points.begin(), points.end(),
                   [](const LevelPoint& a, const LevelPoint& b) { return a.time < b.time; });
  return points;
}

std::string LevelPlotSvg(const std::vector<LevelPoint>& levels) {
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kPlotWidth) +
                    "\" height=\"" + std::to_string(kPlotHeight) + "\" role=\"img\" aria-label=\"Alarm levels over time\">";
  svg += "<rect x=\"0\" y=\"0\" width=\"100%\" height=\"100%\" fill=\"white\" stroke=\"#999\"/>";
  if (levels.empty()) return svg + "<text x=\"20\" y=\"30\">No read with alarm levels.</text></svg>";
  const long long first = SecondsOf(levels.front().time);
  const long long lastTime = SecondsOf(levels.back().time);
  const double span = lastTime > first ? static_cast<double>(lastTime - first) : 1.0;
  const auto x = [&](const std::string& time) {
    return kMargin + (kPlotWidth - 2 * kMargin) * static_cast<double>(SecondsOf(time) - first) / span;
  };
  const auto y = [](double share) { return kPlotHeight - kMargin - (kPlotHeight - 2 * kMargin) * share; };
  std::map<int, std::vector<const LevelPoint*>> byChannel;
  for (const LevelPoint& point : levels) byChannel[point.channel].push_back(&point);
  int legend = 0;
  for (const auto& [channel, points] : byChannel) {
    const char* colour = kColours[channel % 7];
    for (const bool alarm : {false, true}) {
      std::string path;
      double previous = -1;
      for (const LevelPoint* p : points) {
        const double share = alarm ? p->alarmShare : p->warningShare;
        char step[96];
        // Steps: a level holds until the read that changed it.
        if (previous >= 0) {
          std::snprintf(step, sizeof step, " %.1f,%.1f", x(p->time), y(previous));
          path += step;
        }
        std::snprintf(step, sizeof step, " %.1f,%.1f", x(p->time), y(share));
        path += step;
        previous = share;
      }
      svg += "<polyline fill=\"none\" stroke=\"" + std::string(colour) + "\" stroke-width=\"2\"" +
             (alarm ? " stroke-dasharray=\"6 4\"" : "") + " points=\"" + path + "\"/>";
    }
    svg += "<text x=\"" + std::to_string(kMargin + 110 * legend++) + "\" y=\"20\" fill=\"" + colour + "\">" +
           HtmlText(points.front()->gas.empty() ? "ch" + std::to_string(channel + 1) : points.front()->gas) +
           "</text>";
  }
  svg += "<text x=\"" + std::to_string(kMargin) + "\" y=\"" + std::to_string(kPlotHeight - 10) + "\">" +
         HtmlText(levels.front().time) + "</text><text x=\"" + std::to_string(kPlotWidth - kMargin - 130) +
         "\" y=\"" + std::to_string(kPlotHeight - 10) + "\">" + HtmlText(levels.back().time) + "</text>";
  return svg + "</svg>";
}

std::string FleetPageHtml(const std::vector<FleetPageRow>& rows) {
  std::string body = "<h1>Fleet</h1>\n<table id=\"fleet\"><thead><tr><th>Serial</th><th>Model</th>"
                     "<th>Last seen</th><th>Last read</th><th>Calibration</th><th>Compliance</th></tr></thead><tbody>\n";
  for (const FleetPageRow& row : rows) {
    body += "<tr><td><a href=\"/instrument?serial=" + QueryValue(row.serial) + "\">" + HtmlText(row.serial) +
            "</a></td>" + Cell(row.model) + Cell(row.lastSeen) + Cell(row.lastRead) + Cell(row.due, DueClass(row.due)) +
            Cell(row.compliance) + "</tr>\n";
  }
  body += "</tbody></table>\n<p>" + std::to_string(rows.size()) +
          " instruments. The same as JSON: <a href=\"/fleet.json\">/fleet.json</a>.</p>\n";
  return Page("Fleet", body);
}

std::string InstrumentPageHtml(std::string_view serial, const std::vector<history::Event>& events,
                               const std::vector<LevelPoint>& levels) {
  std::string body = "<p><a href=\"/\">Fleet</a></p><h1>" + HtmlText(serial) + "</h1>\n<h2>Alarm levels</h2>\n<p>" +
                     "Warning (solid) and alarm (dashed) as a share of each channel's full scale.</p>\n" +
                     LevelPlotSvg(levels) + "\n<h2>Events</h2>\n<table id=\"events\"><thead><tr><th>Id</th><th>Time</th>"
                     "<th>Operation</th><th>Result</th><th>User</th><th>Detail</th></tr></thead><tbody>\n";
  for (auto event = events.rbegin(); event != events.rend(); ++event) {
    body += "<tr>" + Cell(std::to_string(event->id)) + Cell(event->time) + Cell(event->operation) +
            Cell(event->result) + Cell(event->user) + Cell(event->detail) + "</tr>\n";
  }
  body += "</tbody></table>\n<p>The same as JSON: <a href=\"/instrument.json?serial=" + QueryValue(serial) +
          "\">instrument.json</a>.</p>\n";
  return Page(std::string(serial), body);
}

}  // namespace kv::fleet
