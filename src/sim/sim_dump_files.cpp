#include "sim/sim_dump_files.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "sim/sim_dump.h"

namespace kv::sim {
namespace {

bool WriteImage(const std::string& path, const std::string& bytes, std::string* error) {
  if (path.empty()) return true;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace

bool WriteMemoryImages(const SimOptions& options, const clsInstrument& settings,
                       std::string* error) {
  return WriteImage(options.flashOutPath, FlashImage(settings), error) &&
         WriteImage(options.framOutPath, FramImage(settings), error);
}

}  // namespace kv::sim
