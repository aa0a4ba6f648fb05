#pragma once
// The one conversion between the core's text (Latin-1 bytes in std::string)
// and Qt's QString, used wherever text crosses the Qt edge.
#include <QByteArray>
#include <QChar>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

inline QString ToQString(std::string_view latin1) {
  return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

// Characters outside Latin-1 become '?'.
inline std::string ToLatin1(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The first character outside Latin-1, or nullopt when every character
// has a Latin-1 byte. Where typed text becomes a setting it is refused, never
// stored as '?'.
inline std::optional<QChar> FirstNonLatin1(const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() > 0xFF) return c;
  }
  return std::nullopt;
}

// "holds U+20AC, a character outside Latin-1"
inline std::string NonLatin1Reason(QChar c) {
  return "holds U+" + QStringLiteral("%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper().toStdString() +
         ", a character outside Latin-1";
}

}  // namespace kv
