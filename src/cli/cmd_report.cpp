// kvmaint report: the settings and calibration report of a maintenance data
// file, or of an instrument's latest read in the history, as a PDF.
#include "cli/cli_io.h"
#include "cli/command.h"
#include "cli/history_recording.h"
#include "cli/kvd_files.h"
#include "common/clock.h"
#include "report/history_source.h"
#include "report/report_pdf.h"

namespace kv::cli {
namespace {

const QString kPdf = QStringLiteral("pdf");
const QString kPage = QStringLiteral("page");
const QString kSerial = QStringLiteral("serial");

// The record of the latest read of a serial number; false after saying why not.
bool LoadFromHistory(clsInstrument& record, std::string& model, const QCommandLineParser& parser) {
  const std::string serial = Bytes(parser.value(kSerial));
  const std::unique_ptr<history::Store> store = OpenHistoryStore(parser);
  if (!store) return false;
  std::string error;
  const std::optional<history::Event> read = report::LatestReadSnapshot(*store, serial, &error);
  if (!read) {
    PrintError(error);
    return false;
  }
  const KvdLoadResult loaded = report::LoadSnapshot(*read, record);
  if (!ReportLoad(Text("history of " + serial + " at " + read->time), loaded)) return false;
  if (!read->model.empty()) model = read->model;
  return true;
}

class ReportCommand final : public Command {
 public:
  void Declare(QCommandLineParser& parser) override {
    parser.addOption({kPdf, QStringLiteral("The PDF file to write."), QStringLiteral("OUT.pdf")});
    parser.addOption({kPage, QStringLiteral("Page size: a4 (default) or letter."),
                      QStringLiteral("SIZE"), QStringLiteral("a4")});
    parser.addOption({kSerial,
                      QStringLiteral("Report the latest read of this instrument in the history."),
                      QStringLiteral("S")});
    DeclareHistoryStoreOptions(parser);
    parser.addPositionalArgument(QStringLiteral("FILE.kvd"),
                                 QStringLiteral("The maintenance data file (not with --serial)."));
  }

  int Run(const QCommandLineParser& parser) override {
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return Usage(QStringLiteral("one maintenance data file at most"));
    if (parser.isSet(kSerial) == (files.size() == 1)) {
      return Usage(QStringLiteral("give either FILE.kvd or --serial S"));
    }
    if (!parser.isSet(kPdf) || parser.value(kPdf).isEmpty()) {
      return Usage(QStringLiteral("--pdf OUT.pdf is required"));
    }
    const std::optional<report::PaperSize> paper = report::ParsePaperSize(Bytes(parser.value(kPage)));
    if (!paper) {
      return Usage(QStringLiteral("unknown page size '%1' (a4 or letter)").arg(parser.value(kPage)));
    }
    clsInstrument record;
    std::string model(report::kInstrumentModel);
    if (files.size() == 1) {
      if (!LoadMaintenanceFile(record, files.constFirst())) return kExitUsage;
    } else if (!LoadFromHistory(record, model, parser)) {
      return kExitFailure;
    }
    const report::ReportContent content =
        report::BuildReportContent(record, SystemClock().Now(), model);
    const std::string out = Bytes(parser.value(kPdf));
    const report::PdfWriteResult written = report::WriteReportPdf(content, *paper, out);
    if (!written.ok) {
      PrintError(out + ": " + written.error);
      return kExitFailure;
    }
    return kExitOk;
  }
};

}  // namespace

KV_DEFINE_COMMAND(ReportCommand, .name = "report",
                    .arguments = "(FILE.kvd | --serial S) --pdf OUT.pdf [--page a4|letter]",
                    .summary = "Write the settings and calibration report of an instrument as a PDF.",
                    .details = "The identity, channels with ranges and alarm levels, the latest\n"
                               "calibration, the station and user lists and lines for signatures.\n"
                               "--serial S reports the latest read of S kept in the history.\n"
                               "The PDF appears complete or not at all.\n"
                               "Exit status 0 written, 1 not written or not in the history,\n"
                               "2 bad command line or a file that cannot be read.",
                    .group = CommandGroup::Files, .positionalArguments = 0, .moreArguments = true)

}  // namespace kv::cli
