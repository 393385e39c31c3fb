// The design scale that maps the 1024 x 768 design screen to the real one.
#include <gtest/gtest.h>

#include "platform/core/design_scale.h"

namespace ostrelin {
namespace {

TEST(DesignScale, MapsTheDesignScreenAndTruncatesTowardZero) {
  const DesignScale design = DesignScale::ForWindow(1024, 768);
  EXPECT_EQ(design.horizontal, 1.0);
  EXPECT_EQ(design.vertical, 1.0);
  EXPECT_EQ(design.ToPixelsX(819), 819);

  // 819 x 0.78125 = 639.84: the image window of an 800 x 600 screen is 639 pixels wide.
  const DesignScale small = DesignScale::ForWindow(800, 600);
  EXPECT_EQ(small.ToPixelsX(819), 639);
  EXPECT_EQ(small.ToUnitsX(639), 817);  // 817.92
  EXPECT_EQ(small.ToUnitsY(599), 766);  // 766.72
}

TEST(DesignScale, IsOneUntilSomebodySetsIt) {
  DesignScale& current = CurrentDesignScale();
  const DesignScale saved = current;
  EXPECT_EQ(current.horizontal, 1.0);
  current = DesignScale::ForWindow(1280, 1024);
  EXPECT_EQ(CurrentDesignScale().ToPixelsY(768), 1024);
  current = saved;
}

}  // namespace
}  // namespace ostrelin
