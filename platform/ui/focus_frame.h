#pragma once
// The frame that shows which window has the keyboard focus. It shows only while the keyboard is
// in use, as a browser shows a focus ring only after keys: a key press brings it, a mouse press
// takes it away, and before the first key no frame shows. The windows of the atlas paint
// themselves, so each draws its frame where it covers nothing of what it shows: a button inside
// its face, the text panel in its border, the image window as a line under its strip.

#include <QWidget>

class QPainter;
class QRect;
class QColor;

namespace ostrelin {

inline constexpr int kFocusFrameWidth = 2;
// Buttons inset the frame, as push buttons always have, so their faces keep their edges.
inline constexpr int kButtonFocusInset = 3;

// Starts following keys and mouse presses (once per application; every window that draws a focus
// frame calls it when it is made, so the first key is seen).
void FollowKeyboardUse();
// True after a key press, false after a mouse press (and before the first key).
bool KeyboardInUse();
// Sets the state as a key or a mouse press would, repainting the window with the focus.
void SetKeyboardInUse(bool inUse);

// Whether `widget` shows its focus frame now: it has the focus and the keyboard is in use.
bool FocusFrameShown(const QWidget& widget);

// The frame `inset` pixels inside `area`, in the highlight colour, while `widget` shows its focus.
void PaintFocusFrame(QPainter& painter, const QRect& area, const QWidget& widget, int inset = 0);

// A border of kFocusFrameWidth around `outer`'s edge: a black line with a line of `background`
// inside it, or the highlight colour in both while `widget` shows its focus.
void PaintFocusBorder(QPainter& painter, const QRect& outer, const QWidget& widget,
                      const QColor& background);

// A line of kFocusFrameWidth in the highlight colour, laid by its owner along the bottom of a strip
// of controls and drawn above them, while `owner` shows its focus. It takes no mouse events.
class FocusLine : public QWidget {
 public:
  explicit FocusLine(QWidget& owner);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const QWidget& owner_;
};

}  // namespace ostrelin
