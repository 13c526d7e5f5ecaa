// Fonts, colours and item margins the dialogs and the list share.
#pragma once

#include <QColor>
#include <QFont>
#include <QStyle>
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

// The space an item view leaves on both sides of a row's text, together.
inline int ItemTextMargins(const QWidget* view) {
  return 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
}

}  // namespace solka
