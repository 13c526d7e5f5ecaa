#include "platform/win32/gui/icons.h"

#include <map>
#include <utility>

namespace solka {

namespace {

HICON Load(const wchar_t* name, int size) {
  // One copy per name and size for the whole run; the system shares icons loaded so.
  static std::map<std::pair<const wchar_t*, int>, HICON> loaded;
  auto& icon = loaded[{name, size}];
  if (!icon)
    icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  return icon;
}

}  // namespace

HICON GroupIcon(int index, int size) {
  static const wchar_t* const kNames[] = {L"MAINICON", L"PLAYICON", L"SUBICON", L"TRAYICON"};
  if (index < 0 || index > 3) index = 0;
  return Load(kNames[index], size);
}

HICON SmallIcon(int resource, int size) {
  return Load(MAKEINTRESOURCEW(resource), size);
}

}  // namespace solka
