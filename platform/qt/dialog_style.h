// Fonts and colours the dialogs share.
#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

namespace solka {

// The designed Japanese font where one is installed, at a pixel height.
inline QFont DialogFont(int pixelHeight, bool bold = false) {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("VL PGothic"),
                    QStringLiteral("VL Gothic")});
  font.setPixelSize(pixelHeight);
  font.setBold(bold);
  return font;
}

inline void SetTextColor(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, color);
  widget->setPalette(palette);
}

}  // namespace solka
