#pragma once
// The report as a PDF: A4 or Letter, margins, headings, ruled tables that
// continue on the next page with their header repeated, page numbers and
// signature lines. Drawn with QPdfWriter and QPainter (Qt GUI, no widgets).
#include <QByteArray>
#include <optional>
#include <string>
#include <string_view>

#include "report/report_content.h"

namespace kv::report {

enum class PaperSize { A4, Letter };

// "a4" or "letter" (any case); nullopt for anything else.
std::optional<PaperSize> ParsePaperSize(std::string_view name);
// The system's paper: Letter where the locale measures in US units, else A4.
PaperSize LocalePaperSize();

// The PDF file's bytes.
QByteArray RenderReportPdf(const ReportContent& content, PaperSize paper);

struct PdfWriteResult {
  bool ok = false;
  std::string error;  // why the file could not be written
};

// Writes the PDF beside `path` and renames it over `path` once complete, so
// a reader never sees half a report and a failure leaves `path` as it was.
PdfWriteResult WriteReportPdf(const ReportContent& content, PaperSize paper,
                              const std::string& path);

}  // namespace kv::report
