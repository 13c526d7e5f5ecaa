#include "platform/win32/gui/dpi.h"

namespace solka {

namespace {

template <typename F>
F SystemCall(const char* name) {
  // Looked up at run time: the calls came with later Windows versions than the program runs on.
  HMODULE user = GetModuleHandleW(L"user32.dll");
  return user ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

int CALLBACK FoundFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
  // Vertical faces ("@...") are for vertical writing.
  if (font->lfFaceName[0] == L'@') return 1;
  *reinterpret_cast<std::wstring*>(found) = font->lfFaceName;
  return 0;
}

std::wstring FindFace(const wchar_t* face, BYTE charset) {
  LOGFONTW wanted{};
  wanted.lfCharSet = charset;
  if (face) lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  std::wstring found;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &wanted, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

}  // namespace

int DpiOf(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpi = SystemCall<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpi && window) {
    const UINT dpi = getDpi(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : kDesignDpi;
}

int MetricAt(int index, int dpi) {
  using GetMetricForDpiFn = int(WINAPI*)(int, UINT);
  static const auto forDpi = SystemCall<GetMetricForDpiFn>("GetSystemMetricsForDpi");
  return forDpi ? forDpi(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}

const std::wstring& JapaneseFace() {
  static const std::wstring face = [] {
    const wchar_t* designed = L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF";  // ＭＳ Ｐゴシック
    if (!FindFace(designed, DEFAULT_CHARSET).empty()) return std::wstring(designed);
    std::wstring any = FindFace(nullptr, SHIFTJIS_CHARSET);
    return any.empty() ? std::wstring(L"MS Shell Dlg 2") : any;
  }();
  return face;
}

int TextPixels(HWND window, HFONT font, const std::wstring& text) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size.cx;
}

HFONT MakeFont(int pixelHeight, int dpi, bool bold, bool underline) {
  LOGFONTW font{};
  font.lfHeight = -Scale(pixelHeight, dpi);
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfUnderline = underline ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  lstrcpynW(font.lfFaceName, JapaneseFace().c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

}  // namespace solka
