#pragma once
// The design scale: the atlas was laid out for a 1024 x 768 screen, and two process-wide factors
// map design units to the pixels of the screen it runs on. Both are 1.0 until the main window sets
// them from its outer size; the layout and the navigation panel read them. User-interface thread
// only.

namespace ostrelin {

struct DesignScale {
  static constexpr int kDesignWidth = 1024;
  static constexpr int kDesignHeight = 768;

  double horizontal = 1.0;  // main-window width / 1024
  double vertical = 1.0;    // main-window height / 768

  // The factors of a main window whose outer rectangle is `width` x `height` pixels.
  static DesignScale ForWindow(int width, int height) {
    return {width * (1.0 / kDesignWidth), height * (1.0 / kDesignHeight)};
  }

  // Design units -> pixels and back, truncating toward zero as every conversion of the layout does.
  int ToPixelsX(double units) const { return int(units * horizontal); }
  int ToPixelsY(double units) const { return int(units * vertical); }
  int ToUnitsX(int pixels) const { return int(pixels / horizontal); }
  int ToUnitsY(int pixels) const { return int(pixels / vertical); }
};

// The process-wide factors.
DesignScale& CurrentDesignScale();

}  // namespace ostrelin
