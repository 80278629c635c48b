// Tells whether another client of the X display holds the pointer or the
// keyboard grabbed, as a popup menu does while it is open:
//
//   x_grab_probe free           exit 0 when neither is grabbed
//   x_grab_probe keyboard-held  exit 0 when the keyboard is grabbed
//
// Exit 1 when the answer is no, 2 when the display cannot be opened. X has
// no request that only asks, so the probe grabs on the root window itself
// and lets go at once; a grab it gets is held for one round trip.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct ConnectionCloser {
  void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, ConnectionCloser>;

// True when this client got the keyboard (and gave it back).
bool KeyboardFree(xcb_connection_t* connection, xcb_window_t root) {
  std::unique_ptr<xcb_grab_keyboard_reply_t, decltype(&std::free)> reply(
      xcb_grab_keyboard_reply(connection,
                              xcb_grab_keyboard(connection, 0, root, XCB_CURRENT_TIME,
                                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                              nullptr),
      &std::free);
  const bool got = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
  if (got) xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
  return got;
}

// True when this client got the pointer (and gave it back).
bool PointerFree(xcb_connection_t* connection, xcb_window_t root) {
  std::unique_ptr<xcb_grab_pointer_reply_t, decltype(&std::free)> reply(
      xcb_grab_pointer_reply(
          connection,
          xcb_grab_pointer(connection, 0, root, 0, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                           XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
          nullptr),
      &std::free);
  const bool got = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
  if (got) xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
  return got;
}

}  // namespace

int main(int argc, char** argv) {
  const bool ask_free = argc == 2 && std::strcmp(argv[1], "free") == 0;
  const bool ask_keyboard_held = argc == 2 && std::strcmp(argv[1], "keyboard-held") == 0;
  if (!ask_free && !ask_keyboard_held) {
    std::fprintf(stderr, "usage: x_grab_probe free|keyboard-held\n");
    return 2;
  }
  int screen_number = 0;
  Connection connection(xcb_connect(nullptr, &screen_number));
  if (xcb_connection_has_error(connection.get()) != 0) {
    std::fprintf(stderr, "x_grab_probe: cannot open the display\n");
    return 2;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection.get()));
  for (int i = 0; i < screen_number && screens.rem > 0; ++i) xcb_screen_next(&screens);
  const xcb_window_t root = screens.data->root;

  bool yes;
  if (ask_keyboard_held) {
    yes = !KeyboardFree(connection.get(), root);
  } else {
    yes = PointerFree(connection.get(), root) && KeyboardFree(connection.get(), root);
  }
  xcb_flush(connection.get());
  return yes ? 0 : 1;
}
