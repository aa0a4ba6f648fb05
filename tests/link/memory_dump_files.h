#pragma once
// Dump files kept in memory, counting how often each image is created.
#include <map>
#include <memory>
#include <string>

#include "link/dump_files.h"

namespace kv::test {

class MemoryDumpFiles final : public DumpFiles {
 public:
  bool Exists(const std::string& path) override { return files.count(path) != 0; }
  bool CreateFilled(const std::string& path, std::uint64_t size) override {
    ++creates[path];
    files[path] = std::string(static_cast<std::size_t>(size), '\xFF');
    return true;
  }
  std::unique_ptr<DumpImage> Open(const std::string& path) override {
    ++opens;
    if (!Exists(path)) return nullptr;
    return std::make_unique<Image>(files[path], failWrites);
  }
  bool WriteText(const std::string& path, std::string_view text) override {
    files[path] = std::string(text);
    return true;
  }

  std::map<std::string, std::string> files;
  std::map<std::string, int> creates;
  int opens = 0;
  bool failWrites = false;

 private:
  class Image final : public DumpImage {
   public:
    Image(std::string& content, bool failWrites) : content_(content), fail_(failWrites) {}
    bool WriteAt(std::uint64_t offset, std::string_view bytes) override {
      if (fail_ || offset + bytes.size() > content_.size()) return false;
      content_.replace(static_cast<std::size_t>(offset), bytes.size(), bytes);
      return true;
    }

   private:
    std::string& content_;
    bool fail_;
  };
};

}  // namespace kv::test
