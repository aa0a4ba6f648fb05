#pragma once
// The parts of kvmaint fleet, one file each: due, audit, serve (and the
// options they share).
#include <QCommandLineParser>

#include "cli/cmd_fleet_output.h"

namespace kv::cli {

inline const QString kFleetWithin = QStringLiteral("within");
inline const QString kFleetPolicy = QStringLiteral("policy");
inline const QString kFleetListen = QStringLiteral("listen");

int RunFleetDue(const QCommandLineParser& parser, FleetFormat format);
int RunFleetAudit(const QCommandLineParser& parser, FleetFormat format);
// Serves until the process is stopped; only in a build with Qt HTTP Server.
int RunFleetServe(const QCommandLineParser& parser);

}  // namespace kv::cli
