// Maintenance data files from anywhere: a damaged or hand-edited file must
// load as far as it is sound and stop cleanly at the first bad line.
#include <string>

#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "files/record_apply.h"
#include "files/scramble.h"
#include "fuzz_target.h"

std::vector<std::string> FuzzSeeds() {
  std::vector<std::string> seeds;
  std::string file;
  for (const std::string& text : kv::MaintenanceRecordTexts(kv::clsInstrument{})) {
    seeds.push_back("P" + text);  // a plain record text
    file += kv::ScrambleLine(text) + "\r\n";
  }
  seeds.push_back("F" + file);  // a whole scrambled file
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view body(reinterpret_cast<const char*>(data) + 1, size - 1);
  kv::clsInstrument record;
  if (data[0] == 'F') {
    (void)kv::ReadMaintenanceText(record, body);
  } else {
    kv::clsToken token;
    kv::ConfigureRecordTokenizer(token);
    std::string reason;
    (void)kv::ApplyRecordText(record, token, body, &reason);
    (void)kv::UnscrambleLine(body);
  }
  return 0;
}
