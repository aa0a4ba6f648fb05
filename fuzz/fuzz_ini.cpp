// Configuration files edited by hand or cut short: the INI reader must take
// any bytes, and the program's reading of its configuration must end with
// usable settings whatever the file holds.
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <fstream>
#include <string>

#include "files/configuration.h"
#include "files/ini_file.h"
#include "fuzz_target.h"

namespace {

// One folder per process, removed at exit, holding the file under test. In
// memory where possible: rewriting a file on disk thousands of times a second
// waits on the disk.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    path_ = base / ("kv-fuzz-ini-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace

std::vector<std::string> FuzzSeeds() {
  return {"[Font]\r\nName=Arial\r\nSize=9\r\nBold=False\r\nItalic=False\r\nUnderline=False\r\n"
          "[Communication]\r\nRetry=3\r\nTimeout=3\r\nDelay=0\r\n",
          "[font]\nname=\"Courier New\"\nsize=10.5\nbold=true\n",
          "[Font]\rSize=-1\rSize=1e40\rItalic=maybe\r[Font\r=\r",
          "; comment\r\n[ Font ]\r\n  Name = Liberation Sans  \r\nSize=nan\r\n[Font]\r\nBold=1\r\n"};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  kv::IniFile file = kv::IniFile::Parse(text);
  if (file.Get("Font", "Name", "").size() > kv::IniFile::kMaxValueLength) std::abort();
  file.Set("Font", "Size", "12");
  file.Set("New section", "Key", "value");
  (void)kv::IniFile::Parse(file.Text());

  static const ScratchFolder folder;
  const std::filesystem::path path = folder.Path() / std::string(kv::kConfigurationFileName);
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  const kv::Configuration configuration = kv::LoadConfiguration(folder.Path().string());
  if (!std::isfinite(configuration.font.size) || configuration.font.size <= 0) std::abort();
  // A damaged file is kept aside under a name of the second; left there, the
  // names of a second run out and every later input pays a hundred tries.
  if (!configuration.keptAs.empty()) {
    std::error_code ignored;
    std::filesystem::remove(configuration.keptAs, ignored);
  }
  return 0;
}
