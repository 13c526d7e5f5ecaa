#include "platform/qt/x11_window.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace solka {

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
  return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// A window the window manager does not hold yet: it reads the property when it takes it on.
void EditProperty(xcb_connection_t* c, xcb_window_t win, xcb_atom_t state, xcb_atom_t skip,
                  bool add) {
  const auto cookie = xcb_get_property(c, 0, win, state, XCB_ATOM_ATOM, 0, 1024);
  std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
      xcb_get_property_reply(c, cookie, nullptr), &std::free);
  std::vector<xcb_atom_t> atoms;
  if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
    const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    for (int i = 0; i < count; ++i)
      if (data[i] != skip) atoms.push_back(data[i]);
  }
  if (add) atoms.push_back(skip);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, win, state, XCB_ATOM_ATOM, 32,
                      static_cast<uint32_t>(atoms.size()), atoms.data());
}

// A window the window manager holds: it owns the property and takes requests.
void AskWindowManager(xcb_connection_t* c, xcb_window_t win, xcb_atom_t state, xcb_atom_t skip,
                      bool add) {
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  if (!screen) return;
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = win;
  message.type = state;
  message.data.data32[0] = add ? 1 : 0;  // _NET_WM_STATE_ADD / _REMOVE
  message.data.data32[1] = skip;
  message.data.data32[3] = 1;  // a normal application asks
  xcb_send_event(c, 0, screen->root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
}

// WM_STATE: 0 withdrawn (or none), 1 normal, 3 iconic.
uint32_t WmState(xcb_connection_t* c, xcb_window_t win) {
  const xcb_atom_t wmState = Atom(c, "WM_STATE");
  if (wmState == XCB_ATOM_NONE) return 0;
  const auto cookie = xcb_get_property(c, 0, win, wmState, wmState, 0, 2);
  std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
      xcb_get_property_reply(c, cookie, nullptr), &std::free);
  if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4) return 0;
  return static_cast<const uint32_t*>(xcb_get_property_value(reply.get()))[0];
}

// True when the window manager holds the window (normal or iconic).
bool Managed(xcb_connection_t* c, xcb_window_t win) {
  return WmState(c, win) != 0;
}

xcb_connection_t* Connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

}  // namespace

void FlushDisplay() {
  if (xcb_connection_t* c = Connection()) xcb_flush(c);
}

ManagerState WindowManagerState(QWidget* window) {
  xcb_connection_t* c = Connection();
  if (!c || !window || !window->testAttribute(Qt::WA_WState_Created)) return ManagerState::Unknown;
  switch (WmState(c, static_cast<xcb_window_t>(window->winId()))) {
    case 1:
      return ManagerState::Normal;
    case 3:
      return ManagerState::Iconic;
    default:
      return ManagerState::Withdrawn;
  }
}

void SetToolWindowType(QWidget* window) {
  xcb_connection_t* c = Connection();
  if (!c || !window || !window->testAttribute(Qt::WA_WState_Created)) return;
  const xcb_atom_t type = Atom(c, "_NET_WM_WINDOW_TYPE");
  // A tool bar's window: a close box alone; the utility type after it for managers that know
  // no tool bars.
  const xcb_atom_t types[] = {Atom(c, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                              Atom(c, "_NET_WM_WINDOW_TYPE_UTILITY")};
  if (type == XCB_ATOM_NONE || types[0] == XCB_ATOM_NONE) return;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()), type,
                      XCB_ATOM_ATOM, 32, 2, types);
  xcb_flush(c);
}

void SetTaskbarEntry(QWidget* window, bool shown) {
  xcb_connection_t* c = Connection();
  // A window not created yet gets the state when it is shown. Asking for its id would create
  // it, and the toolkit then takes a position set later as the client area's instead of the
  // frame's.
  if (!c || !window || !window->testAttribute(Qt::WA_WState_Created)) return;
  const auto win = static_cast<xcb_window_t>(window->winId());
  const xcb_atom_t state = Atom(c, "_NET_WM_STATE");
  const xcb_atom_t skip = Atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
  if (state == XCB_ATOM_NONE || skip == XCB_ATOM_NONE) return;
  // Whether the window manager has taken the window on is its WM_STATE, not whether the toolkit
  // shows it: a window being shown has not been mapped yet, and the manager drops the state of a
  // window that was hidden. Until it has, the property is read when it does; a request sent as
  // well covers a manager that takes the window on in between.
  if (!Managed(c, win)) EditProperty(c, win, state, skip, !shown);
  AskWindowManager(c, win, state, skip, !shown);
  xcb_flush(c);
}

}  // namespace solka
