#include "link/transport.h"

#include <cerrno>

namespace kv {

OpenFailure OpenFailureFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return OpenFailure::NoSuchDevice;
    case ENOTTY:
    case EISDIR:
      return OpenFailure::NotSerialDevice;
    case EACCES:
    case EPERM:
    case EROFS:
      return OpenFailure::PermissionDenied;
    case EBUSY:
      return OpenFailure::InUse;
    default:
      return OpenFailure::Other;
  }
}

std::string OpenFailureText(const OpenResult& result) {
  std::string reason;
  switch (result.failure) {
    case OpenFailure::None:
      return {};
    case OpenFailure::NoSuchDevice:
      reason = "no such device";
      break;
    case OpenFailure::NotSerialDevice:
      reason = "not a serial device";
      break;
    case OpenFailure::PermissionDenied:
      reason = "permission denied (add yourself with: sudo usermod -aG dialout $USER, then log in again)";
      break;
    case OpenFailure::InUse:
      reason = "in use by another program";
      if (!result.detail.empty()) reason += " (" + result.detail + ")";
      break;
    case OpenFailure::Other:
      reason = result.detail.empty() ? "unknown error" : result.detail;
      break;
  }
  return "cannot open the port " + result.port + ": " + reason;
}

}  // namespace kv
