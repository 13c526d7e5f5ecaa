// Conversions between the core's UTF-8 byte strings and Qt strings.
#pragma once

#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace solka {

inline QString ToQt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A hint (tooltip) that shows its text as it is: a track title is never taken for markup.
inline QString HintText(std::string_view text) {
  if (text.empty()) return {};
  return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(ToQt(text).toHtmlEscaped());
}

inline std::string FromQt(const QString& text) {
  return text.toUtf8().toStdString();
}

// Paths are the file system's own bytes, which need not be valid UTF-8.
inline QString PathToQt(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

inline std::string PathFromQt(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace solka
