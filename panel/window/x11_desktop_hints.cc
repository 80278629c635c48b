#include "panel/window/x11_desktop_hints.h"

#include <xcb/xcb.h>

#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace skyvane {

namespace {

// The most atoms read from one list property; both lists hold a handful.
constexpr std::uint32_t kMaxListedAtoms = 64;
constexpr std::uint8_t kAtomFormat = 32;
constexpr xcb_atom_t kNoAtom = XCB_ATOM_NONE;

enum Atom : std::size_t {
  kWmState,
  kSkipTaskbar,
  kSkipPager,
  kSticky,
  kWmDesktop,
  kWmProtocols,
  kWmTakeFocus,
  kAtomCount,
};

constexpr std::array<const char*, kAtomCount> kAtomNames = {
    "_NET_WM_STATE",
    "_NET_WM_STATE_SKIP_TASKBAR",
    "_NET_WM_STATE_SKIP_PAGER",
    "_NET_WM_STATE_STICKY",
    "_NET_WM_DESKTOP",
    "WM_PROTOCOLS",
    "WM_TAKE_FOCUS",
};

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

// Every atom of kAtomNames, asked for at once; kNoAtom where the
// server did not answer.
std::array<xcb_atom_t, kAtomCount> InternAtoms(xcb_connection_t* connection) {
  std::array<xcb_intern_atom_cookie_t, kAtomCount> cookies{};
  for (std::size_t i = 0; i < kAtomCount; ++i) {
    cookies[i] = xcb_intern_atom(
        connection, 0, static_cast<std::uint16_t>(std::strlen(kAtomNames[i])), kAtomNames[i]);
  }
  std::array<xcb_atom_t, kAtomCount> atoms{};
  for (std::size_t i = 0; i < kAtomCount; ++i) {
    const ReplyPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, cookies[i], nullptr));
    atoms[i] = reply ? reply->atom : kNoAtom;
  }
  return atoms;
}

std::vector<xcb_atom_t> ReadAtomList(xcb_connection_t* connection, xcb_window_t window,
                                     xcb_atom_t property) {
  const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      connection,
      xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, kMaxListedAtoms),
      nullptr));
  if (!reply || reply->format != kAtomFormat || reply->type != XCB_ATOM_ATOM) return {};
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
  return std::vector<xcb_atom_t>(atoms, atoms + xcb_get_property_value_length(reply.get()) /
                                                    static_cast<int>(sizeof(xcb_atom_t)));
}

void WriteAtomList(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                   const std::vector<xcb_atom_t>& atoms) {
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM,
                      kAtomFormat, static_cast<std::uint32_t>(atoms.size()), atoms.data());
}

void WriteHints(xcb_connection_t* connection, xcb_window_t window) {
  const std::array<xcb_atom_t, kAtomCount> atom = InternAtoms(connection);
  if (std::find(atom.begin(), atom.end(), kNoAtom) != atom.end()) return;

  std::vector<xcb_atom_t> states = ReadAtomList(connection, window, atom[kWmState]);
  for (const Atom state : {kSkipTaskbar, kSkipPager, kSticky}) {
    if (std::find(states.begin(), states.end(), atom[state]) == states.end()) {
      states.push_back(atom[state]);
    }
  }
  WriteAtomList(connection, window, atom[kWmState], states);

  const std::uint32_t desktop = kAllDesktops;
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom[kWmDesktop],
                      XCB_ATOM_CARDINAL, kAtomFormat, 1, &desktop);

  // Qt lists WM_TAKE_FOCUS for every window; offering it would invite the
  // window manager to hand over the focus after all.
  std::vector<xcb_atom_t> protocols = ReadAtomList(connection, window, atom[kWmProtocols]);
  const auto kept = std::remove(protocols.begin(), protocols.end(), atom[kWmTakeFocus]);
  if (kept != protocols.end()) {
    protocols.erase(kept, protocols.end());
    WriteAtomList(connection, window, atom[kWmProtocols], protocols);
  }
  xcb_flush(connection);
}

// Writes the hints when the watched window is about to be mapped: a widget
// gets its show event after its native window exists and before it is
// mapped.
class HintWriter : public QObject {
 public:
  HintWriter(QWidget* window, xcb_connection_t* connection)
      : QObject(window), window_(window), connection_(connection) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::Show) {
      WriteHints(connection_, static_cast<xcb_window_t>(window_->winId()));
    }
    return false;
  }

 private:
  QWidget* window_;
  xcb_connection_t* connection_;
};

}  // namespace

void KeepX11DesktopHints(QWidget* window) {
  const auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->connection() == nullptr) return;
  new HintWriter(window, x11->connection());
}

}  // namespace skyvane
