#include "platform/ui/WindowFrame.h"

#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace ui {

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr), &std::free);
  return reply ? reply->atom : XCB_ATOM_NONE;
}

// The window's _NET_FRAME_EXTENTS (left, right, top, bottom), if set.
bool readExtents(xcb_connection_t* c, xcb_window_t window, xcb_atom_t extents, QMargins& out) {
  std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr), &std::free);
  if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16) return false;
  const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
  out = QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
  return true;
}

// Asks the window manager what frame it will give `window`, and waits a
// little for the answer.
std::optional<QMargins> askWindowManager(QWidget* w) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return std::nullopt;
  xcb_connection_t* c = x11->connection();
  const auto window = xcb_window_t(w->winId());
  const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS"), extents = atom(c, "_NET_FRAME_EXTENTS");
  if (request == XCB_ATOM_NONE || extents == XCB_ATOM_NONE) return std::nullopt;
  QMargins m;
  if (readExtents(c, window, extents, m)) return m;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  xcb_client_message_event_t ev{};
  ev.response_type = XCB_CLIENT_MESSAGE;
  ev.format = 32;
  ev.window = window;
  ev.type = request;
  xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                 reinterpret_cast<const char*>(&ev));
  xcb_flush(c);
  // A window manager that answers does so at once; one that does not
  // leaves the frame unknown.
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  while (std::chrono::steady_clock::now() < until) {
    if (readExtents(c, window, extents, m)) return m;
    QThread::msleep(5);
  }
  return std::nullopt;
}

}  // namespace

QMargins frameMargins(QWidget* w) {
  const QRect outer = w->frameGeometry(), inner = w->geometry();
  if (outer != inner)
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                    outer.bottom() - inner.bottom());
  if (auto m = askWindowManager(w)) return *m;
  return QMargins();
}

void centreOnScreen(QWidget* w) {
  QScreen* s = QGuiApplication::primaryScreen();
  if (!s) return;
  const QMargins m = frameMargins(w);
  const QSize outer = w->size().grownBy(m);
  const QPoint topLeft = s->availableGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2);
  if (w->frameGeometry() != w->geometry()) {
    // Qt knows the frame: move() places the frame's corner.
    w->move(topLeft);
    return;
  }
  // Before the first showing Qt takes the frame for none and would put the
  // window's inside where the frame belongs, a title bar too low; the
  // window manager has said what the frame will be, so place the inside.
  w->setGeometry(QRect(topLeft + QPoint(m.left(), m.top()), w->size()));
}

}  // namespace ui
