// kvmaint fleet: every instrument of the history at a glance; "due" says
// whose calibration falls due, "audit" whose settings differ from a policy.
#include "cli/cli_io.h"
#include "cli/cmd_fleet.h"
#include "cli/command.h"
#include "cli/history_recording.h"

namespace kv::cli {
namespace {

const QString kJson = QStringLiteral("json");
const QString kCsv = QStringLiteral("csv");

class FleetCommand final : public Command {
 public:
  void Declare(QCommandLineParser& parser) override {
    parser.addOption({kFleetWithin,
                      QStringLiteral("due: say \"due within N days\" up to DAYS ahead (default 30)."),
                      QStringLiteral("DAYS"), QStringLiteral("30")});
    parser.addOption({kFleetPolicy, QStringLiteral("audit: the company's settings."),
                      QStringLiteral("company.kvd")});
    parser.addOption({kFleetListen,
                      QStringLiteral("serve: the address and port to serve on (default 127.0.0.1:8080)."),
                      QStringLiteral("ADDRESS:PORT"), QStringLiteral("127.0.0.1:8080")});
    parser.addOption({kJson, QStringLiteral("Print JSON for scripts.")});
    parser.addOption({kCsv, QStringLiteral("Print CSV.")});
    DeclareHistoryStoreOptions(parser);
    parser.addPositionalArgument(QStringLiteral("due|audit|serve"), QStringLiteral("What to show."));
  }

  int Run(const QCommandLineParser& parser) override {
    const QStringList what = parser.positionalArguments();
    if (parser.isSet(kJson) && parser.isSet(kCsv)) return Usage(QStringLiteral("--json or --csv, not both"));
    const FleetFormat format = parser.isSet(kJson) ? FleetFormat::Json
                               : parser.isSet(kCsv) ? FleetFormat::Csv
                                                    : FleetFormat::Text;
    if (what.constFirst() == QStringLiteral("due")) {
      if (parser.isSet(kFleetPolicy)) return Usage(QStringLiteral("--policy belongs to audit"));
      return RunFleetDue(parser, format);
    }
    if (what.constFirst() == QStringLiteral("audit")) {
      if (!parser.isSet(kFleetPolicy)) return Usage(QStringLiteral("audit needs --policy company.kvd"));
      return RunFleetAudit(parser, format);
    }
    if (what.constFirst() == QStringLiteral("serve")) {
#ifdef KV_HAVE_HTTP_SERVER
      return RunFleetServe(parser);
#else
      PrintError("this kvmaint was built without Qt HTTP Server: no fleet serve");
      return kExitFailure;
#endif
    }
    return Usage(QStringLiteral("unknown fleet question '%1' (due, audit or serve)").arg(what.constFirst()));
  }
};

}  // namespace

KV_DEFINE_COMMAND(FleetCommand, .name = "fleet",
                  .arguments = "due [--within DAYS] | audit --policy company.kvd [--json|--csv] | "
                               "serve [--listen ADDRESS:PORT] [--policy company.kvd]",
                    .summary = "Every instrument of the history: calibrations due, settings off policy.",
                    .details =
                        "due: one row per instrument: serial, model, last seen, last read, its state\n"
                        "(\"ok\", \"due within N days\", \"overdue\", \"never calibrated\") and the\n"
                        "channel deciding it with its latest calibration and due date. The interval\n"
                        "is the instrument's Calibration Time Limit as last read; where that is 0 or\n"
                        "not known, [Fleet] CalibrationDays.<gas>= or CalibrationDays= of\n"
                        "KVMaintenance.ini. Calibrations: the instrument's calibration history read\n"
                        "by cal-history, and successful zero and span results.\n"
                        "audit: the latest read of every instrument against the policy file, its\n"
                        "own settings (serial numbers, calibration values) left out: each setting\n"
                        "that differs with the policy's value and the instrument's, and a summary\n"
                        "line (N compliant, M differ, K never read).\n"
                        "serve: the same read-only in a browser: / the fleet table, /instrument?serial=S\n"
                        "its events and a plot of its alarm levels over time, /fleet.json and\n"
                        "/instrument.json?serial=S as JSON. GET and HEAD only; on 127.0.0.1:8080\n"
                        "unless --listen names another address. Runs until stopped.\n"
                        "--json and --csv print the same for scripts. Exit status 0, 1 when the\n"
                        "history cannot be read, 2 bad command line or policy file.",
                    .group = CommandGroup::Files, .positionalArguments = 1)

}  // namespace kv::cli
