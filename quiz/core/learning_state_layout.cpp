#include "quiz/core/learning_state_layout.h"

#include <algorithm>

namespace ostrelin {

Rect PlaceBesideCentre(const Rect& image, int width, int height, const Rect& screen) {
  constexpr int kGap = 16;
  const int centreX = image.left + image.width / 2;
  const int screenRight = screen.left + screen.width;
  const int screenBottom = screen.top + screen.height;
  const int roomRight = std::max(0, screenRight - (centreX + kGap));
  const int roomLeft = std::max(0, centreX - kGap - screen.left);
  Rect placed;
  if (roomRight >= width || roomRight >= roomLeft) {
    placed.width = std::min(width, roomRight);
    placed.left = centreX + kGap;
  } else {
    placed.width = std::min(width, roomLeft);
    placed.left = centreX - kGap - placed.width;
  }
  placed.height = std::min(height, screen.height);
  placed.top = std::clamp(image.top + kGap, screen.top, screenBottom - placed.height);
  return placed;
}

}  // namespace ostrelin
