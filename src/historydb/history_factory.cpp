#include "historydb/history_factory.h"

#include "files/configuration.h"
#include "history/history_location.h"

namespace kv::history {

ChosenHistory ChooseHistoryStore(const std::optional<std::string>& option,
                                 const std::filesystem::path& dataFolder,
                                 const SqlStoreOptions& timings) {
  ChosenHistory chosen;
  std::string text;
  if (option) {
    text = *option;
  } else {
    const HistorySettings settings = LoadHistorySettings(dataFolder.string());
    if (!settings.enabled) return chosen;
    text = settings.database;
  }
  const std::string defaultFile = (dataFolder / kDefaultHistoryFileName).string();
  const std::optional<StoreLocation> location = ParseStoreLocation(text, defaultFile, &chosen.error);
  if (!location || location->kind == StoreKind::Off) return chosen;
  chosen.store = std::make_unique<SqlStore>(*location, timings);
  return chosen;
}

}  // namespace kv::history
