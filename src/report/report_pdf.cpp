#include "report/report_pdf.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cctype>
#include <numeric>

#include "files/file_sink.h"
#include "qtedge/latin1.h"

namespace kv::report {
namespace {

constexpr int kDotsPerInch = 300;
constexpr qreal kMarginMillimetres = 18;

QFont Font(qreal points, bool bold = false) {
  QFont font(QStringLiteral("Helvetica"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

// Lays the content out page by page. The first pass (no painter) only counts
// the pages, so that the second can number them "Page n of N".
class PageLayout {
 public:
  PageLayout(QPdfWriter& writer, QPainter* painter, int pageCount)
      : writer_(writer),
        painter_(painter),
        pageCount_(pageCount),
        area_(writer.pageLayout().paintRectPixels(writer.resolution())),
        body_(Font(9)),
        bold_(Font(9, true)),
        heading_(Font(12, true)),
        title_(Font(18, true)),
        line_(QFontMetricsF(body_, &writer).height()) {
    bottom_ = area_.height() - 2 * line_;  // the footer's room
  }

  int Pages() const { return page_; }

  void Title(const ReportContent& content) {
    const QFontMetricsF metrics(title_, &writer_);
    Text(title_, QRectF(0, y_, area_.width(), metrics.height()), ToQString(content.title),
         Qt::AlignLeft);
    y_ += metrics.height();
    Text(body_, QRectF(0, y_, area_.width(), line_),
         QStringLiteral("Report date: ") + ToQString(content.reportDate), Qt::AlignLeft);
    y_ += line_ * 1.5;
    Rule(QLineF(0, y_, area_.width(), y_), 2);
    y_ += line_;
  }

  void Table(const ReportTable& table) {
    const qreal rowHeight = line_ * 1.6;
    const qreal headingHeight = QFontMetricsF(heading_, &writer_).height() * 1.6;
    // A table that fits on one page is never split; a longer one starts with
    // at least its header and two rows under the heading.
    const auto rows = static_cast<qreal>(table.rows.size());
    const qreal whole = headingHeight + rowHeight * (1 + rows);
    const qreal start = headingHeight + rowHeight * (1 + std::min<qreal>(2, rows));
    if (!Fits(whole < bottom_ ? whole : start)) NewPage();
    Heading(table.heading);
    if (table.rows.empty()) {
      Text(body_, QRectF(0, y_, area_.width(), line_), ToQString(table.whenEmpty), Qt::AlignLeft);
      y_ += line_ * 2;
      return;
    }
    const std::vector<qreal> edges = ColumnEdges(table);
    qreal top = y_;
    Row(table.columns, edges, rowHeight, true);
    for (const std::vector<std::string>& row : table.rows) {
      if (!Fits(rowHeight)) {
        Frame(edges, top);
        NewPage();
        Heading(table.heading + " (continued)");
        top = y_;
        Row(table.columns, edges, rowHeight, true);
      }
      Row(row, edges, rowHeight, false);
    }
    Frame(edges, top);
    y_ += line_;
  }

  void Signatures(const std::vector<std::string>& labels) {
    const qreal each = line_ * 3.5;
    if (!Fits(each * static_cast<qreal>(labels.size()) + line_)) NewPage();
    y_ += line_;
    for (const std::string& label : labels) {
      y_ += line_ * 2;
      const qreal labelWidth = area_.width() * 0.15;
      Text(bold_, QRectF(0, y_ - line_, labelWidth, line_), ToQString(label) + QLatin1Char(':'),
           Qt::AlignLeft);
      Rule(QLineF(labelWidth, y_, area_.width() * 0.7, y_), 1);
      y_ += line_ * 1.5;
    }
  }

  void Finish() { Footer(); }

 private:
  bool Fits(qreal height) const { return y_ + height <= bottom_; }

  void NewPage() {
    Footer();
    if (painter_ != nullptr) writer_.newPage();
    ++page_;
    y_ = 0;
  }

  void Footer() {
    const qreal y = area_.height() - line_;
    Rule(QLineF(0, y - line_ * 0.3, area_.width(), y - line_ * 0.3), 1);
    Text(body_, QRectF(0, y, area_.width(), line_),
         QStringLiteral("Page %1 of %2").arg(page_).arg(pageCount_), Qt::AlignRight);
    Text(body_, QRectF(0, y, area_.width(), line_), QStringLiteral("KORVIN Maintenance Data Loader"),
         Qt::AlignLeft);
  }

  void Heading(const std::string& heading) {
    const qreal height = QFontMetricsF(heading_, &writer_).height();
    y_ += height * 0.3;
    Text(heading_, QRectF(0, y_, area_.width(), height), ToQString(heading), Qt::AlignLeft);
    y_ += height * 1.3;
  }

  std::vector<qreal> ColumnEdges(const ReportTable& table) const {
    const int total = std::accumulate(table.columnWeights.begin(), table.columnWeights.end(), 0);
    std::vector<qreal> edges{0};
    for (const int weight : table.columnWeights) {
      edges.push_back(edges.back() + area_.width() * weight / std::max(total, 1));
    }
    return edges;
  }

  void Row(const std::vector<std::string>& cells, const std::vector<qreal>& edges, qreal height,
           bool header) {
    if (painter_ != nullptr && header) {
      painter_->fillRect(QRectF(edges.front(), y_, edges.back() - edges.front(), height),
                         QColor(225, 225, 225));
    }
    const qreal pad = line_ * 0.3;
    for (std::size_t c = 0; c + 1 < edges.size() && c < cells.size(); ++c) {
      const QRectF cell(edges[c] + pad, y_, edges[c + 1] - edges[c] - 2 * pad, height);
      Text(header ? bold_ : body_, cell, ToQString(cells[c]), Qt::AlignLeft | Qt::AlignVCenter);
    }
    y_ += height;
    Rule(QLineF(edges.front(), y_, edges.back(), y_), 1);
  }

  // The table's outline and column rules from `top` down to here.
  void Frame(const std::vector<qreal>& edges, qreal top) {
    Rule(QLineF(edges.front(), top, edges.back(), top), 1);
    for (const qreal x : edges) Rule(QLineF(x, top, x, y_), 1);
  }

  void Text(const QFont& font, const QRectF& rect, const QString& text, Qt::Alignment align) {
    if (painter_ == nullptr) return;
    painter_->setFont(font);
    const QString shown = QFontMetricsF(font, &writer_).elidedText(text, Qt::ElideRight, rect.width());
    painter_->drawText(rect, static_cast<int>(align | Qt::AlignVCenter), shown);
  }

  void Rule(const QLineF& line, qreal points) {
    if (painter_ == nullptr) return;
    painter_->setPen(QPen(Qt::black, points * kDotsPerInch / 72.0 / 2));
    painter_->drawLine(line);
  }

  QPdfWriter& writer_;
  QPainter* painter_;
  int pageCount_;
  QRectF area_;
  QFont body_, bold_, heading_, title_;
  qreal line_;
  qreal bottom_ = 0;
  qreal y_ = 0;
  int page_ = 1;
};

int LayOut(const ReportContent& content, QPdfWriter& writer, QPainter* painter, int pageCount) {
  PageLayout layout(writer, painter, pageCount);
  layout.Title(content);
  for (const ReportTable& table : content.tables) layout.Table(table);
  layout.Signatures(content.signatures);
  layout.Finish();
  return layout.Pages();
}

}  // namespace

PaperSize LocalePaperSize() {
  return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? PaperSize::Letter : PaperSize::A4;
}

std::optional<PaperSize> ParsePaperSize(std::string_view name) {
  std::string lower;
  for (const char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "a4") return PaperSize::A4;
  if (lower == "letter") return PaperSize::Letter;
  return std::nullopt;
}

QByteArray RenderReportPdf(const ReportContent& content, PaperSize paper) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setResolution(kDotsPerInch);
  writer.setPageLayout(QPageLayout(
      QPageSize(paper == PaperSize::A4 ? QPageSize::A4 : QPageSize::Letter), QPageLayout::Portrait,
      QMarginsF(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres, kMarginMillimetres),
      QPageLayout::Millimeter));
  writer.setTitle(ToQString(content.title));
  writer.setCreator(QStringLiteral("KORVIN Maintenance Data Loader"));
  const int pages = LayOut(content, writer, nullptr, 0);
  QPainter painter(&writer);
  LayOut(content, writer, &painter, pages);
  painter.end();
  return bytes;
}

PdfWriteResult WriteReportPdf(const ReportContent& content, PaperSize paper,
                              const std::string& path) {
  const QByteArray pdf = RenderReportPdf(content, paper);
  if (pdf.isEmpty()) return {false, "the report could not be drawn"};
  AtomicFileSink sink(path);
  if (!sink.Write(std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size()))) ||
      !sink.Commit()) {
    return {false, sink.Error()};
  }
  return {true, {}};
}

}  // namespace kv::report
