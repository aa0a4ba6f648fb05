#pragma once
// A tmpfs of a few KiB for the tests of full and read-only disks; only root
// may mount, so Mounted() is false otherwise.
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/mount.h>
#include <unistd.h>

namespace kv::e2e {

// Mounted on `folder` for the object's lifetime.
class SmallFileSystem {
 public:
  SmallFileSystem(const std::string& folder, int kib) : folder_(folder) {
    std::filesystem::create_directories(folder);
    const std::string options = "size=" + std::to_string(kib) + "k";
    mounted_ = ::geteuid() == 0 && ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallFileSystem() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  bool Mounted() const { return mounted_; }
  bool MakeReadOnly() const {
    return ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }
  // Writes a filler file until the file system is full.
  void Fill() const {
    std::ofstream filler(folder_ + "/filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
    }
  }

 private:
  std::string folder_;
  bool mounted_ = false;
};

}  // namespace kv::e2e
