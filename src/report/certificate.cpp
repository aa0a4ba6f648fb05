#include "report/certificate.h"

#include <algorithm>

#include "fleet/calibration_merge.h"
#include "protocol/format_gas_value.h"
#include "report/calibration_events.h"

namespace kv::report {
namespace {

std::string ResultText(const std::vector<fleet::ChannelStatus>& statuses, int channel) {
  const auto found = std::find_if(statuses.begin(), statuses.end(),
                                  [channel](const fleet::ChannelStatus& s) { return s.channel == channel; });
  if (found == statuses.end() || found->status == "-") return "-";
  return fleet::Calibrated(*found) ? "passed" : "failed (" + found->status + ")";
}

// The channels the certificate lists: those of the settings, else those the event names.
std::vector<fleet::ChannelCalibration> CertifiedChannels(const CertificateSources& sources,
                                                         const DateTime& when) {
  std::vector<fleet::ChannelCalibration> channels;
  if (sources.settings) channels = fleet::CalibrationsOf(*sources.settings);
  const history::Event& event = sources.calibration;
  if (event.operation == history::kOpCalHistory) {
    if (const auto read = CalibrationsFromDetail(event.detail)) fleet::MergeLatest(channels, *read);
  } else {
    fleet::MergeLatest(channels, fleet::CalibratedChannels(event.detail, when));
  }
  channels.erase(std::remove_if(channels.begin(), channels.end(),
                                [](const fleet::ChannelCalibration& c) { return !c.fitted; }),
                 channels.end());
  return channels;
}

}  // namespace

std::string WhyNoCertificate(const history::Event& event) {
  const bool calibration = event.operation == history::kOpZero || event.operation == history::kOpSpan ||
                           event.operation == history::kOpCalHistory;
  if (!calibration) return "event " + std::to_string(event.id) + " is a " + event.operation + ", not a calibration";
  if (event.result != "ok") return "event " + std::to_string(event.id) + " did not succeed: " + event.result;
  if (event.serial.empty()) return "event " + std::to_string(event.id) + " names no instrument";
  return {};
}

ReportContent BuildCertificate(const CertificateSources& sources) {
  const history::Event& event = sources.calibration;
  const DateTime when = fleet::ParseDateTime(event.time).value_or(DateTime{});
  ReportContent content;
  content.title = "Calibration Certificate";
  content.reportDate = FormatGeneralDate(when);
  content.tables.push_back({"Instrument",
                            {"Item", "Value"},
                            {2, 5},
                            {{"Serial number", event.serial},
                             {"Model", event.model.empty() ? std::string(kInstrumentModel) : event.model},
                             {"Certificate", "history event " + std::to_string(event.id) + " (" + event.operation + ")"},
                             {"Calibrated", FormatGeneralDate(when)},
                             {"Technician", sources.technician}},
                            {}});
  const std::vector<fleet::ChannelStatus> spans =
      event.operation == history::kOpSpan ? fleet::ResultStatuses(event.detail) : std::vector<fleet::ChannelStatus>{};
  const std::vector<fleet::ChannelStatus> zeros =
      event.operation == history::kOpZero ? fleet::ResultStatuses(event.detail)
      : sources.zero                      ? fleet::ResultStatuses(sources.zero->detail)
                                          : std::vector<fleet::ChannelStatus>{};
  const std::optional<int> limit =
      sources.settings ? std::optional<int>(sources.settings->CalLimit()) : std::nullopt;
  ReportTable channels{"Channels",
                       {"Channel", "Gas", "Span Value", "Zero", "Span", "Calibrated", "Next Due"},
                       {3, 2, 3, 3, 3, 5, 3},
                       {},
                       "(no channel fitted)"};
  for (const fleet::ChannelCalibration& c : CertifiedChannels(sources, when)) {
    const fleet::ChannelDue due =
        fleet::JudgeChannel(c, fleet::IntervalDays(limit, c.gas, sources.defaults), when, 0);
    const std::string span = sources.settings ? FormatGasValue(sources.settings->AutoCalib(c.channel),
                                                               sources.settings->GasPoint(c.channel))
                                              : "-";
    channels.rows.push_back({"ch" + std::to_string(c.channel + 1), c.gas, span, ResultText(zeros, c.channel),
                             ResultText(spans, c.channel),
                             c.calibrated ? FormatGeneralDate(*c.calibrated) : "never",
                             due.due ? FormatGeneralDate(*due.due).substr(0, 10) : "-"});
  }
  content.tables.push_back(std::move(channels));
  content.signatures = {"Signature", "Date"};
  return content;
}

}  // namespace kv::report
