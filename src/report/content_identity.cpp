#include "report/content_identity.h"

#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "report/report_content.h"

namespace kv::report {
namespace {

// The settings of a file as the writer gives them back: equal for equal settings.
std::string Settings(std::string_view content) {
  clsInstrument record;
  ReadMaintenanceText(record, std::string(content));
  return MaintenanceFileText(record);
}

}  // namespace

ContentIdentity IdentifyByContent(history::Store& store, std::string_view content, std::string* error) {
  ContentIdentity found;
  std::string failure;
  std::vector<history::Event> reads = store.LatestReads(&failure);
  if (!failure.empty()) {
    if (error != nullptr) *error = failure;
    return found;
  }
  std::vector<const history::Event*> matches;
  for (const history::Event& read : reads) {
    if (read.snapshot == content) matches.push_back(&read);
  }
  found.sameBytes = !matches.empty();
  if (matches.empty()) {
    const std::string settings = Settings(content);
    for (const history::Event& read : reads) {
      if (Settings(read.snapshot) == settings) matches.push_back(&read);
    }
  }
  for (const history::Event* match : matches) found.serials.push_back(match->serial);
  if (matches.size() == 1) {
    found.read = *matches.front();
    found.read->snapshot.clear();
  }
  return found;
}

std::string IdentityText(const ContentIdentity& identity) {
  if (identity.read) {
    const history::Event& read = *identity.read;
    return (read.model.empty() ? std::string(kInstrumentModel) : read.model) + " S/N " + read.serial +
           ", read " + read.time + (identity.sameBytes ? " (this file is that read)" : " (the same settings)");
  }
  if (identity.serials.empty()) {
    return "the file does not hold the serial number, and no instrument's latest read in the history "
           "holds these settings";
  }
  std::string serials;
  for (const std::string& serial : identity.serials) serials += (serials.empty() ? "" : ", ") + serial;
  return "the file does not hold the serial number, and the latest reads of several instruments hold "
         "these settings: " + serials;
}

}  // namespace kv::report
