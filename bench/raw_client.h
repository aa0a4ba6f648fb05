#pragma once
// The floor: the same exchanges by a minimal blocking client (open, write,
// poll, read; no event loop, no link), so that the link's own share of the
// time can be told from what the pseudo-terminal and kvsim take.
#include <span>
#include <string>

#include "link_rig.h"

namespace kv::bench {

struct RawResult {
  double wallMs = 0;
  LineBytes bytes;
  bool ok = false;
};

// Sends each command (framed, block "00", EOT) and waits for its EOT-ended reply.
RawResult RawExchanges(const std::string& device, std::span<const std::string> commands);

}  // namespace kv::bench
