// Sizes and fonts for a per-monitor DPI aware program: the designed sizes are pixels at 96 DPI
// and are scaled to the DPI of the monitor a window stands on.
#pragma once

#include <windows.h>

#include <string>

namespace solka {

inline constexpr int kDesignDpi = 96;

// The DPI of the monitor `window` stands on (the system's where the call is missing).
int DpiOf(HWND window);
inline int Scale(int designed, int dpi) {
  return MulDiv(designed, dpi, kDesignDpi);
}
inline int Unscale(int pixels, int dpi) {
  return MulDiv(pixels, kDesignDpi, dpi);
}
// System metrics at a DPI.
int MetricAt(int index, int dpi);

// The designed Japanese face ("ＭＳ Ｐゴシック") where installed, else a face that has the
// Japanese characters, else the dialog face.
const std::wstring& JapaneseFace();

// The width in pixels of a text in a font, as it is drawn in the window.
int TextPixels(HWND window, HFONT font, const std::wstring& text);

// The face above at a pixel height (designed size, scaled to `dpi`). The caller deletes it.
HFONT MakeFont(int pixelHeight, int dpi, bool bold = false, bool underline = false);

}  // namespace solka
