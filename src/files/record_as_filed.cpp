#include "files/record_as_filed.h"

#include <string>

#include "files/file_sink.h"
#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "model/instrument_settings.h"

namespace kv {

clsInstrument AsFiled(const clsInstrument& record) {
  MemoryFileSink sink;
  clsInstrument filed;
  CopyInstrument(filed, record, false);
  // A record the writer refuses is compared as it is.
  if (WriteMaintenanceFile(record, sink).ok) (void)ReadMaintenanceText(filed, sink.Content());
  filed.ClearChangeFlags();
  return filed;
}

}  // namespace kv
