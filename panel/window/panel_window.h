// The panel's window behaviour: how it looks and where it opens (the window
// steps of the load handler), and how it is dragged by its bare surface with
// the new place remembered.
#ifndef SKYVANE_PANEL_WINDOW_PANEL_WINDOW_H_
#define SKYVANE_PANEL_WINDOW_PANEL_WINDOW_H_

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTimer>

#include <optional>

#include "panel/geometry/placement.h"
#include "panel/geometry/twips.h"
#include "panel/settings/position_store.h"

class QWidget;

namespace skyvane {

// The whole window is drawn with this alpha out of kOpaqueAlpha (about 59 %
// opaque), over a white background.
inline constexpr int kPanelAlpha = 150;
inline constexpr int kOpaqueAlpha = 255;

// Where the panel opens and why.
struct OpeningPlace {
  enum class Source {
    kDefault,           // nothing (readable) was saved
    kSaved,             // the saved place
    kSavedUnreachable,  // a place was saved, but the panel would show no grab
                        // strip on any screen there; the default is used
  };
  QPoint pixels;  // the window's top-left corner
  Source source = Source::kDefault;
};

// Chooses the opening place of a panel of `panel_size` pixels. The default
// place is DefaultPlacement for `primary_screen`'s size, counted from that
// screen's top-left corner; a `saved` place replaces it when the panel would
// show a grab strip on one of `screens` there (ShowsGrabStrip). Twips become
// pixels at `scale`.
OpeningPlace ChooseOpeningPlace(const QRect& primary_screen, const QList<QRect>& screens,
                                const QSize& panel_size, const std::optional<PanelPlace>& saved,
                                const TwipScale& scale);

// The window steps of the load handler, on the top-level `form` before it is
// shown: white background, whole-window opacity kPanelAlpha / kOpaqueAlpha,
// the default place, then the saved place read from `store`; twips become
// pixels at `scale`, the form's own. The store is only read: a saved place
// that is not used stays saved until the next drag. A saved place that is
// unreadable or unreachable is reported in one line on standard error.
// Returns the place chosen.
OpeningPlace ApplyWindowSteps(QWidget& form, const TwipScale& scale, const PositionStore& store);

// The form's `Left` and `Top` in twips at `scale`, from its position on the
// screen.
PanelPlace CurrentPlace(const QWidget& form, const TwipScale& scale);

// Drags the top-level `form` by a press on its bare surface and saves its
// place in `store`: at once after the press, whether the panel then moves or
// not, and again when the drag ends, so that the saved place is always the
// final one.
//
// A left-button drag is the window system's own move
// (QWindow::startSystemMove) where the platform offers it. Where it refuses
// (no window manager, or a platform without one), and for the other buttons
// (which would leave a system move running after they are released), the
// panel follows the mouse itself until the button is released. A system
// move does not report its end to the client: the window system's last word
// on the window's place may come just after the pointer returns to the
// panel, or during the move while the user pauses. So the place is saved
// again once the window has been still for kMoveSettleMs after a move or
// after the pointer came back; while nothing moves, no timer runs.
//
// Twips become pixels at `scale`, the form's own. The form and the store
// must outlive the drag. Failures to save are reported in one line on
// standard error, once per kind of failure.
class PanelDrag : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMoveSettleMs = 250;

  PanelDrag(QWidget* form, const TwipScale& scale, PositionStore* store);
  ~PanelDrag() override;

  // Starts a drag for a press of `button` at `global_pos` (pixels on the
  // screen), and saves the place. Call it from the form's press handler;
  // presses on the controls must not get here.
  void Press(const QPoint& global_pos, Qt::MouseButton button);

  // True while the panel follows the mouse by itself.
  bool FollowingMouse() const { return following_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Save();
  void SystemMoveEnding();
  void Settled();

  QWidget* form_;
  TwipScale scale_;
  PositionStore* store_;
  QTimer settle_;
  // The press point relative to the window's top-left corner while the panel
  // follows the mouse.
  QPoint grab_offset_;
  bool following_ = false;
  bool system_move_ = false;
  bool system_move_ending_ = false;
  bool moved_since_save_ = false;
  QString reported_error_;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_WINDOW_PANEL_WINDOW_H_
