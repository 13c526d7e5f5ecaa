// The object behind a window of ours: handed over as CreateWindowExW's last argument and kept
// in the window's user data from its first message on.
#pragma once

#include <windows.h>

namespace solka {

// The owner of `window`, or nullptr before WM_NCCREATE and after the owner cleared it.
template <typename Owner>
Owner* WindowOwner(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    void* created = reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  return reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace solka
