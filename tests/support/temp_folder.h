#pragma once
// A fresh folder for one test, removed with everything in it afterwards, and
// the file helpers the tests use on it.
#include <filesystem>
#include <string>
#include <vector>

namespace kv::testsupport {

class TempFolder {
 public:
  // The folder is made under the system's temporary folder, named after `prefix`.
  explicit TempFolder(const std::string& prefix = "kvtest");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // False when the folder could not be made (Path() is then empty).
  bool Ok() const { return !path_.empty(); }
  const std::string& Path() const { return path_; }
  std::filesystem::path Dir() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Names of everything in the folder.
  std::vector<std::string> Entries() const;

 private:
  std::string path_;
};

// A fresh path in a folder of this test process's own, which is removed when
// the process ends (any old file of that name is removed now).
std::string FreshTempPath(const std::string& name);

// The whole file as bytes; empty when it does not exist.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

}  // namespace kv::testsupport
