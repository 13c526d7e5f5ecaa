// The few window-system requests Qt has no call for, on X11. Elsewhere (offscreen, Wayland)
// they do nothing.
#pragma once

class QWidget;

namespace solka {

// Whether the window has an entry in the desktop's task bar (its skip-taskbar state).
void SetTaskbarEntry(QWidget* window, bool shown);

// Marks a window that is not shown yet as a small tool window: the window managers that read
// the toolkit's hints alone would still give it minimise and maximise boxes.
void SetToolWindowType(QWidget* window);

// The window's state as the window manager holds it (WM_STATE); Unknown without X11 or before
// the window exists. The toolkit's own idea of it can lag behind or miss a change.
enum class ManagerState { Unknown, Withdrawn, Normal, Iconic };
ManagerState WindowManagerState(QWidget* window);

// Sends what is queued for the display now (a caption set just before the program waits).
void FlushDisplay();

}  // namespace solka
