// The main window's layout on the design scale and the menu's one-of-a-group choices.
#include <gtest/gtest.h>

#include "shell/core/commands.h"
#include "shell/core/main_layout.h"
#include "shell/core/main_menu.h"

namespace ostrelin {
namespace {

TEST(MainLayout, DesignScreenPlacesImageTextPanelAndTwoButtonColumns) {
  // A 1024 x 768 screen whose frame and menu bar leave a client area of 1018 x 718.
  const MainLayout layout = ComputeMainLayout(1024, 768, 1018, 718, 17);
  EXPECT_EQ(layout.imageWidth, 819);
  EXPECT_EQ(layout.imageHeight, 549);
  EXPECT_EQ(layout.columnWidth, 99);  // (1018 - 819) / 2
  EXPECT_EQ(layout.rowHeight, 56);    // (718 - 549) / 3
  EXPECT_EQ(layout.image, (Rect{0, 0, 819, 549}));
  EXPECT_EQ(layout.text, (Rect{0, 549, 819, 169}));
  EXPECT_EQ(layout.panel, (Rect{819, 0, 199, 549}));
  EXPECT_EQ(layout.buttons[MainLayout::kSchnitt], (Rect{819, 550, 99, 56}));
  EXPECT_EQ(layout.buttons[MainLayout::kCT], (Rect{918, 550, 99, 56}));
  EXPECT_EQ(layout.buttons[MainLayout::kMR], (Rect{819, 606, 99, 56}));
  EXPECT_EQ(layout.buttons[MainLayout::kSchema], (Rect{918, 606, 99, 56}));
  EXPECT_EQ(layout.buttons[MainLayout::kBildIndex], (Rect{819, 662, 99, 56}));
  EXPECT_EQ(layout.buttons[MainLayout::kHilfe], (Rect{918, 662, 99, 56}));
}

TEST(MainLayout, SmallerScreensTruncateEveryConversion) {
  // 819 x 0.78125 = 639.84 and (17 + 532) x 0.78125 = 428.9.
  const MainLayout layout = ComputeMainLayout(800, 600, 795, 551, 17);
  EXPECT_EQ(layout.imageWidth, 639);
  EXPECT_EQ(layout.imageHeight, 428);
  EXPECT_EQ(layout.columnWidth, 78);  // 156 / 2
  EXPECT_EQ(layout.rowHeight, 41);    // 123 / 3, the remainder stays unused
  EXPECT_EQ(layout.buttonTop, 429);
  EXPECT_EQ(layout.scale.horizontal, 0.78125);
}

TEST(MainMenu, ChoosingAnItemDisablesItAndFreesTheOthersOfItsGroup) {
  constexpr int kSmall = CommandId(Command::kFontSmall), kMedium = CommandId(Command::kFontMedium),
                kLarge = CommandId(Command::kFontLarge);
  constexpr int kVisible = CommandId(Command::kTextVisible),
                kInvisible = CommandId(Command::kTextInvisible);
  MainMenu menu;
  menu.Choose(kSmall, {kSmall, kMedium, kLarge});
  EXPECT_TRUE(menu.Find(kSmall)->checked);
  EXPECT_FALSE(menu.Find(kSmall)->enabled);
  for (int other : {kMedium, kLarge}) {
    EXPECT_FALSE(menu.Find(other)->checked);
    EXPECT_TRUE(menu.Find(other)->enabled);
  }

  menu.Choose(kInvisible, {kVisible, kInvisible});
  EXPECT_TRUE(menu.Find(kVisible)->enabled);
  EXPECT_FALSE(menu.Find(kVisible)->checked);
  EXPECT_FALSE(menu.Find(kInvisible)->enabled);
}

}  // namespace
}  // namespace ostrelin
