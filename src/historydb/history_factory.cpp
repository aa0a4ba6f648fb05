#include "historydb/history_factory.h"

#include "files/configuration.h"
#include "history/history_location.h"
#include "historydb/local_first_store.h"

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
  if (location->kind == StoreKind::SQLite) {
    chosen.store = std::make_unique<LocalFirstStore>(*location, std::nullopt, timings);
    return chosen;
  }
  // A shared server: every event is first kept in the data folder's file.
  StoreLocation local;
  local.kind = StoreKind::SQLite;
  local.path = defaultFile;
  chosen.store = std::make_unique<LocalFirstStore>(local, *location, timings);
  return chosen;
}

}  // namespace kv::history
