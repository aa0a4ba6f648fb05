// kvmaint report: the settings and calibration report of a maintenance data
// file, or of an instrument's latest read in the history, as a PDF.
#include "cli/cli_io.h"
#include "cli/cmd_fleet_sources.h"
#include "cli/command.h"
#include "cli/history_recording.h"
#include "cli/kvd_files.h"
#include "common/clock.h"
#include "qtedge/data_folder.h"
#include "report/certificate_sources.h"
#include "report/content_identity.h"
#include "report/history_source.h"
#include "report/report_pdf.h"

namespace kv::cli {
namespace {

const QString kPdf = QStringLiteral("pdf");
const QString kPage = QStringLiteral("page");
const QString kSerial = QStringLiteral("serial");
const QString kCalibration = QStringLiteral("calibration");

// The record of the latest read of a serial number; false after saying why not.
bool LoadFromHistory(clsInstrument& record, std::string& model, history::Store& store,
                     const std::string& serial) {
  std::string error;
  const std::optional<history::Event> read = report::LatestReadSnapshot(store, serial, &error);
  if (!read) {
    PrintError(error);
    return false;
  }
  const KvdLoadResult loaded = report::LoadSnapshot(*read, record);
  if (!ReportLoad(Text("history of " + serial + " at " + read->time), loaded)) return false;
  if (!read->model.empty()) model = read->model;
  return true;
}

int WritePdf(const report::ReportContent& content, report::PaperSize paper, const std::string& out) {
  const report::PdfWriteResult written = report::WriteReportPdf(content, paper, out);
  if (!written.ok) {
    PrintError(out + ": " + written.error);
    return kExitFailure;
  }
  return kExitOk;
}

int WriteCertificate(const QCommandLineParser& parser, std::int64_t id, report::PaperSize paper,
                     const std::string& out) {
  const std::unique_ptr<history::Store> store = OpenHistoryStore(parser);
  if (!store) return kExitFailure;
  const std::optional<std::filesystem::path> folder = ResolveDataFolder(parser.value(QStringLiteral("data-dir")));
  std::string error;
  const std::optional<report::CertificateSources> sources =
      report::GatherCertificate(*store, id, folder ? folder->string() : std::string(), &error);
  if (!sources) {
    PrintError(error);
    return kExitFailure;
  }
  return WritePdf(report::BuildCertificate(*sources), paper, out);
}

// The serial number of the instrument whose latest read in the history holds
// the file's content, with its model; "" with `why` set when none does.
std::string SerialByContent(const QCommandLineParser& parser, const QString& file, std::string& model,
                            std::string& why) {
  const std::optional<std::string> content = ReadWholeFile(file);
  const std::unique_ptr<history::Store> store = content ? OpenHistoryStore(parser, &why) : nullptr;
  if (!store) {
    if (content) why = "the history is not asked: " + why;
    return {};
  }
  const report::ContentIdentity identity = report::IdentifyByContent(*store, *content, &why);
  if (!why.empty() || !identity.read) {
    if (why.empty()) why = report::IdentityText(identity);
    return {};
  }
  if (!identity.read->model.empty()) model = identity.read->model;
  return identity.read->serial;
}

class ReportCommand final : public Command {
 public:
  void Declare(QCommandLineParser& parser) override {
    parser.addOption({kPdf, QStringLiteral("The PDF file to write."), QStringLiteral("OUT.pdf")});
    parser.addOption({kPage, QStringLiteral("Page size: a4 (default) or letter."),
                      QStringLiteral("SIZE"), QStringLiteral("a4")});
    parser.addOption({kSerial,
                      QStringLiteral("The instrument: its latest read in the history, or whose "
                                     "settings FILE.kvd holds; its calibrations come from the history."),
                      QStringLiteral("S")});
    parser.addOption({kCalibration,
                      QStringLiteral("Write the calibration certificate of this history event (a zero, "
                                     "span or calibration-history; see kvmaint history --serial S)."),
                      QStringLiteral("EVENT_ID")});
    DeclareHistoryStoreOptions(parser);
    parser.addPositionalArgument(QStringLiteral("FILE.kvd"),
                                 QStringLiteral("The maintenance data file (with --serial S)."));
  }

  int Run(const QCommandLineParser& parser) override {
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return Usage(QStringLiteral("one maintenance data file at most"));
    if (!parser.isSet(kSerial) && files.isEmpty() && !parser.isSet(kCalibration)) {
      return Usage(QStringLiteral("give FILE.kvd, --serial S, or both"));
    }
    if (!parser.isSet(kPdf) || parser.value(kPdf).isEmpty()) {
      return Usage(QStringLiteral("--pdf OUT.pdf is required"));
    }
    const std::optional<report::PaperSize> paper = report::ParsePaperSize(Bytes(parser.value(kPage)));
    if (!paper) {
      return Usage(QStringLiteral("unknown page size '%1' (a4 or letter)").arg(parser.value(kPage)));
    }
    if (parser.isSet(kCalibration)) {
      if (!files.isEmpty() || parser.isSet(kSerial)) {
        return Usage(QStringLiteral("--calibration names the instrument itself: no FILE.kvd or --serial"));
      }
      bool number = false;
      const qlonglong id = parser.value(kCalibration).toLongLong(&number);
      if (!number || id <= 0) return Usage(QStringLiteral("--calibration takes an event number"));
      return WriteCertificate(parser, id, *paper, Bytes(parser.value(kPdf)));
    }
    clsInstrument record;
    report::ReportSources sources;
    sources.defaults = CalibrationDefaultsOf(parser);
    std::string serial = Bytes(parser.value(kSerial));
    if (files.size() == 1) {
      if (!LoadMaintenanceFile(record, files.constFirst())) return kExitUsage;
      // The file keeps no serial number: --serial names whose settings these
      // are, else the history's read that holds them.
      std::string unknown;
      if (serial.empty()) serial = SerialByContent(parser, files.constFirst(), sources.model, unknown);
      if (serial.empty()) {
        PrintError(Bytes(files.constFirst()) + " names no instrument (" + unknown + "): give --serial S");
        return kExitUsage;
      }
      record.StoreSerialNo(serial);
    }
    if (!serial.empty()) {
      // A file's report goes on without the history: its calibrations then read "not read".
      const std::unique_ptr<history::Store> store = OpenHistoryStore(parser);
      if (!store && files.isEmpty()) return kExitFailure;
      if (files.isEmpty() && !LoadFromHistory(record, sources.model, *store, serial)) return kExitFailure;
      if (store) sources.historyCalibrations = HistoryCalibrations(*store, serial);
    }
    return WritePdf(report::BuildReportContent(record, SystemClock().Now(), sources), *paper,
                    Bytes(parser.value(kPdf)));
  }
};

}  // namespace

KV_DEFINE_COMMAND(ReportCommand, .name = "report",
                    .arguments = "([FILE.kvd] --serial S | --calibration EVENT_ID) --pdf OUT.pdf [--page a4|letter]",
                    .summary = "Write the settings and calibration report of an instrument as a PDF.",
                    .details = "The identity, channels with ranges and alarm levels, each channel's\n"
                               "latest calibration with its next due date (\"OVERDUE\" once passed,\n"
                               "from the instrument's Calibration Time Limit, else [Fleet]\n"
                               "CalibrationDays of KVMaintenance.ini), the station and user lists\n"
                               "and lines for signatures.\n"
                               "--serial S reports the latest read of S kept in the history, or with\n"
                               "FILE.kvd names the instrument whose settings the file holds. A file\n"
                               "keeps no serial number: without --serial it is the instrument whose\n"
                               "latest read in the history holds the same bytes or settings, else the\n"
                               "report is refused.\n"
                               "Calibrations come from the history (cal-history, zero, span).\n"
                               "--calibration EVENT_ID writes the one-page certificate of that\n"
                               "calibration instead: identity, each channel's gas, span value, zero\n"
                               "and span result, the date, the technician ([Fleet] Technician= of\n"
                               "KVMaintenance.ini, else the user who calibrated), the next due date\n"
                               "and a signature line.\n"
                               "The PDF appears complete or not at all.\n"
                               "Exit status 0 written, 1 not written or not in the history,\n"
                               "2 bad command line or a file that cannot be read.",
                    .group = CommandGroup::Files, .positionalArguments = 0, .moreArguments = true)

}  // namespace kv::cli
