#pragma once
// A rectangle of whole pixels or design units: left and top edge, width and height. The layouts,
// list places and button rows of the windows are computed in it, free of any window system.

namespace ostrelin {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  bool Empty() const { return width <= 0 || height <= 0; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace ostrelin
