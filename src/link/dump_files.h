#pragma once
// Where the memory dumps put their files. An image is created whole (filled
// with 0xFF) and then opened once for the transfer, which writes each arrival
// at its offset; a listing is written whole. Tests replace the disk with
// memory.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kv {

// One image file, open for the length of a transfer.
class DumpImage {
 public:
  virtual ~DumpImage() = default;
  // Writes `bytes` at `offset`; false when that failed.
  virtual bool WriteAt(std::uint64_t offset, std::string_view bytes) = 0;
  // Why the last WriteAt failed, naming the file; "" when unknown.
  virtual std::string LastError() const { return {}; }
};

class DumpFiles {
 public:
  virtual ~DumpFiles() = default;
  virtual bool Exists(const std::string& path) = 0;
  // Makes `path` an image of `size` bytes of 0xFF, replacing what was there;
  // the file appears under its name only complete.
  virtual bool CreateFilled(const std::string& path, std::uint64_t size) = 0;
  // Opens an existing image for writing in place; null when it cannot, or
  // when another transfer holds it.
  virtual std::unique_ptr<DumpImage> Open(const std::string& path) = 0;
  // Writes a whole text file; the file appears under its name only complete.
  virtual bool WriteText(const std::string& path, std::string_view text) = 0;
  // Why the last call above failed ("No space left on device"); "" when unknown.
  virtual std::string LastError() const { return {}; }
};

// The files on disk.
DumpFiles& DiskDumpFiles();

// Why a dump of `size` bytes cannot be written to `path` ("cannot create a
// file in /x: No such file or directory"), or "" when it can: a temporary
// file beside it is given the room and removed again, so a missing or
// read-only folder and a full disk are known before the instrument is asked.
std::string DumpFileProblem(const std::string& path, std::uint64_t size);

}  // namespace kv
