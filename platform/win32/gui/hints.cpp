#include "platform/win32/gui/hints.h"

#include <commctrl.h>

#include "platform/win32/wide_text.h"

namespace solka {

Hints::Hints(HWND owner) : owner_(owner) {
  tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                          nullptr, GetModuleHandleW(nullptr), nullptr);
  // Hints of several lines break at their line ends.
  SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 600);
}

Hints::~Hints() {
  DestroyWindow(tips_);
}

void Hints::Set(HWND control, const std::string& text) {
  std::wstring wide = Widen(text);
  TOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = owner_;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = wide.data();
  if (known_.insert(control).second)
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  else
    SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void Hints::Activate(bool shown, HWND others) {
  SendMessageW(tips_, TTM_ACTIVATE, shown, 0);
  if (others) SendMessageW(others, TTM_ACTIVATE, shown, 0);
}

void Hints::SetShowTime(int milliseconds) {
  SendMessageW(tips_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(milliseconds, 0));
}

}  // namespace solka
