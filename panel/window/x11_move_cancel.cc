#include "panel/window/x11_move_cancel.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace skyvane {

namespace {

constexpr std::uint32_t kMoveResizeCancel = 11;
constexpr std::uint32_t kLeftButton = 1;
constexpr std::uint32_t kSourceApplication = 1;

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};

}  // namespace

void CancelX11SystemMove(QWidget* window) {
  auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->connection() == nullptr || window == nullptr ||
      !window->testAttribute(Qt::WA_WState_Created)) {
    return;
  }
  xcb_connection_t* connection = x11->connection();
  const auto id = static_cast<xcb_window_t>(window->winId());
  static constexpr char kName[] = "_NET_WM_MOVERESIZE";
  const xcb_intern_atom_cookie_t atom_cookie =
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(kName)), kName);
  const xcb_get_geometry_cookie_t geometry_cookie = xcb_get_geometry(connection, id);
  const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> atom(
      xcb_intern_atom_reply(connection, atom_cookie, nullptr));
  const std::unique_ptr<xcb_get_geometry_reply_t, FreeReply> geometry(
      xcb_get_geometry_reply(connection, geometry_cookie, nullptr));
  if (!atom || !geometry) return;

  xcb_client_message_event_t message;
  std::memset(&message, 0, sizeof message);
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = id;
  message.type = atom->atom;
  message.data.data32[2] = kMoveResizeCancel;
  message.data.data32[3] = kLeftButton;
  message.data.data32[4] = kSourceApplication;
  xcb_send_event(connection, 0, geometry->root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(connection);
}

}  // namespace skyvane
