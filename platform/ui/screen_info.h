#pragma once
// What the start-up display check asks of the screen: colour depth and resolution.

class QWidget;

namespace ostrelin {

struct ScreenInfo {
  int bitsPerPixel = 0;
  int width = 0;   // pixels
  int height = 0;  // pixels
};

// The screen `widget` is on, or the primary screen; all zero when there is no screen at all.
ScreenInfo QueryScreen(const QWidget* widget = nullptr);

}  // namespace ostrelin
