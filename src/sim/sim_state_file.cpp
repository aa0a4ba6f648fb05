#include "sim/sim_state_file.h"

#include <sys/stat.h>

#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "sim/sim_default_state.h"
#include "sim/sim_device.h"

namespace kv::sim {

bool LoadStateFile(const std::string& path, clsInstrument& settings, std::string* error) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    if (error) *error = "cannot read " + path;
    return false;
  }
  clsInstrument loaded = MakeDemoInstrument();
  const KvdLoadResult result = ReadMaintenanceFile(loaded, path);
  if (!result.complete) {
    if (error) {
      *error =
          path + ": stopped at line " + std::to_string(result.stoppedAtLine) + ": " + result.reason;
    }
    return false;
  }
  SettleDerivedSettings(loaded);
  settings = std::move(loaded);
  return true;
}

bool SaveStateFile(const std::string& path, const clsInstrument& settings, std::string* error) {
  const KvdWriteResult result = WriteMaintenanceFile(settings, path);
  if (!result.ok && error) *error = result.error;
  return result.ok;
}

}  // namespace kv::sim
