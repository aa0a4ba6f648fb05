#pragma once
// What a calibration certificate is made from, gathered from the history
// alike for `kvmaint report --calibration` and the History window.
#include <cstdint>
#include <optional>
#include <string>

#include "report/certificate.h"

namespace kv::report {

// Who signs a certificate of `calibration`: [Fleet] Technician= of the
// KVMaintenance.ini in `dataFolder` ("" for none), else the user who recorded
// it, else the one running.
std::string TechnicianOf(const std::string& dataFolder, const history::Event& calibration);

// The certificate's sources for event `id`: the event, the settings of the
// latest successful read before it and, for a span, the zero before it.
// nullopt with `error` set when the event is not in the history or
// certifies nothing (`WhyNoCertificate`, prefixed "no certificate: ").
std::optional<CertificateSources> GatherCertificate(history::Store& store, std::int64_t id,
                                                    const std::string& dataFolder, std::string* error);

}  // namespace kv::report
