#pragma once
// The overview: the whole current image at a quarter of its size in a small captioned window of
// the image window. A red 2 x 2 marker follows the mouse over the image window; a click re-centres
// the image window's view on that point; the close box asks the image window to close it.

#include <functional>

#include "image/core/jpg_bild.h"
#include "structures/core/image_window_model.h"
#include "structures/ui/child_frame.h"

namespace ostrelin {

class OverviewWindow : public ChildFrame {
  Q_OBJECT

 public:
  // Builds the reduced copy of `image` (std::bad_alloc when it cannot be allocated) and places
  // itself at (100, 100) of `parent`. `recentred` is called after a click moved the view,
  // `closeRequested` when the close box is pressed.
  OverviewWindow(QWidget* parent, JpgBild& image, std::function<void()> recentred,
                 std::function<void()> closeRequested);

  int Columns() const { return copy_.columns; }
  int Rows() const { return copy_.rows; }
  const OverviewCopy& Copy() const { return copy_; }
  // The area the copy is painted in (the click target).
  QWidget* Canvas() const { return Content(); }

  // Moves the marker to the image pixel under the mouse.
  void Mark(ImagePoint pixel);
  // A click at (x, y) of the canvas.
  void ClickAt(int x, int y);

 private:
  JpgBild& image_;
  OverviewCopy copy_;
  std::function<void()> recentred_;
};

}  // namespace ostrelin
