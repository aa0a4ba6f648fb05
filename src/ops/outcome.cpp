#include "ops/outcome.h"

namespace kv::ops {

std::string OperationOutcome::ResultText() const {
  if (interrupted) return "interrupted";
  if (!done) return failedAt.empty() ? "failed" : "failed at " + failedAt;
  if (!backupError.empty()) return "backup failed";
  if (verification.state == VerifyState::ReadFailed || verification.state == VerifyState::Differs) {
    return verification.Text();
  }
  return "ok";
}

int OperationOutcome::AcknowledgedLines() const {
  int count = 0;
  for (const SentWriteLine& line : lines) count += line.acknowledged ? 1 : 0;
  return count;
}

}  // namespace kv::ops
