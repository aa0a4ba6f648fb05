#pragma once
// The one conversion between the core's text (Latin-1 bytes in std::string)
// and Qt's QString, used wherever text crosses the Qt edge.
#include <QByteArray>
#include <QString>
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

}  // namespace kv
