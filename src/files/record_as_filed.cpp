#include "files/record_as_filed.h"

#include <string>

#include "files/file_sink.h"
#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "model/instrument_settings.h"

namespace kv {
namespace {

class MemorySink final : public FileSink {
 public:
  bool Write(std::string_view bytes) override {
    content_ += bytes;
    return true;
  }
  bool Commit() override { return true; }
  std::string Error() const override { return {}; }
  const std::string& Content() const { return content_; }

 private:
  std::string content_;
};

}  // namespace

clsInstrument AsFiled(const clsInstrument& record) {
  MemorySink sink;
  clsInstrument filed;
  CopyInstrument(filed, record, false);
  // A record the writer refuses is compared as it is.
  if (WriteMaintenanceFile(record, sink).ok) (void)ReadMaintenanceText(filed, sink.Content());
  filed.ClearChangeFlags();
  return filed;
}

}  // namespace kv
