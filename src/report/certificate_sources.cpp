#include "report/certificate_sources.h"

#include "files/configuration.h"
#include "files/ini_file.h"
#include "history/history_event.h"
#include "report/history_source.h"

namespace kv::report {

std::string TechnicianOf(const std::string& dataFolder, const history::Event& calibration) {
  if (!dataFolder.empty()) {
    std::string configured = GetProfileString("Fleet", "Technician", "", ConfigurationPath(dataFolder));
    if (!configured.empty()) return configured;
  }
  return calibration.user.empty() ? history::CurrentUser() : calibration.user;
}

std::optional<CertificateSources> GatherCertificate(history::Store& store, std::int64_t id,
                                                    const std::string& dataFolder, std::string* error) {
  std::string failure;
  const std::optional<history::Event> event = store.EventById(id, &failure);
  if (!event) {
    *error = failure.empty() ? "event " + std::to_string(id) + " is not in the history" : failure;
    return std::nullopt;
  }
  if (const std::string why = WhyNoCertificate(*event); !why.empty()) {
    *error = "no certificate: " + why;
    return std::nullopt;
  }
  const std::vector<history::Event> events = store.Events(event->serial, &failure);
  if (!failure.empty()) {
    *error = failure;
    return std::nullopt;
  }
  CertificateSources sources{*event, std::nullopt, std::nullopt, TechnicianOf(dataFolder, *event),
                             dataFolder.empty() ? fleet::CalibrationDefaults()
                                                : fleet::CalibrationDefaults::Load(dataFolder)};
  // Events come oldest first: what happened before the calibration, the latest last.
  for (const history::Event& earlier : events) {
    if (earlier.id == event->id) break;
    if (earlier.result != "ok") continue;
    if (earlier.operation == history::kOpRead && !earlier.snapshot.empty()) {
      clsInstrument settings;
      LoadSnapshot(earlier, settings);
      sources.settings = settings;
    }
    if (earlier.operation == history::kOpZero && event->operation == history::kOpSpan) sources.zero = earlier;
  }
  return sources;
}

}  // namespace kv::report
