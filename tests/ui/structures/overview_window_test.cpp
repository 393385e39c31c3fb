// The overview: the quarter-size copy, the red marker that follows the mouse over the image
// window, a click re-centring the view, and closing through the image window.
#include <QCheckBox>
#include <QToolButton>

#include "structures/ui/overview_window.h"
#include "tests/ui/structures/image_window_testing.h"

namespace ostrelin::test {
namespace {

using OverviewTest = ImageWindowTest;

const std::uint8_t* OverviewPixel(const OverviewWindow& overview, int x, int yDown) {
  const OverviewCopy& copy = overview.Copy();
  return &copy.bgr[(size_t(copy.rows - 1 - yDown) * size_t(copy.columns) + size_t(x)) * 3];
}

TEST_F(OverviewTest, ToggleShowsAQuarterSizeCopyAndTheBoxFollows) {
  auto window = MakeWindow();
  window->OverviewBox()->click();  // nothing without an image
  EXPECT_EQ(window->Overview(), nullptr);
  EXPECT_EQ(window->OverviewBox()->checkState(), Qt::Unchecked);

  ASSERT_TRUE(window->LoadImage("Bilder\\Schnitt\\brust.bmp", false));
  window->OverviewBox()->click();
  OverviewWindow* overview = window->Overview();
  ASSERT_NE(overview, nullptr);
  EXPECT_EQ(window->OverviewBox()->checkState(), Qt::Checked);
  EXPECT_EQ(overview->Columns(), 48);  // 200 / 4 = 50, rounded down to a multiple of 4
  EXPECT_EQ(overview->Rows(), 40);
  EXPECT_EQ(overview->pos(), QPoint(100, 100));
  EXPECT_EQ(overview->Canvas()->size(), QSize(48, 40));

  window->OverviewBox()->click();
  Settle();
  EXPECT_EQ(window->Overview(), nullptr);
  EXPECT_EQ(window->OverviewBox()->checkState(), Qt::Unchecked);
}

TEST_F(OverviewTest, TheMarkerFollowsTheMouseAndGivesItsPixelsBack) {
  auto window = LoadedWindow();
  window->Command(image_cmd::kToggleOverview);
  OverviewWindow* overview = window->Overview();
  ASSERT_NE(overview, nullptr);
  const OverviewCopy original = overview->Copy();

  // Image pixel (40, 80): the marker's corner is at (10, 160 / 4 - 80 / 4) = (10, 20).
  Mouse(*window, QEvent::MouseMove, PointOf(*window, 40, 80));
  const std::uint8_t* p = OverviewPixel(*overview, 10, 20);
  EXPECT_EQ(p[0], 0);
  EXPECT_EQ(p[1], 0);
  EXPECT_EQ(p[2], 255);
  EXPECT_EQ(OverviewPixel(*overview, 11, 21)[2], 255);

  Mouse(*window, QEvent::MouseMove, PointOf(*window, 120, 40));
  EXPECT_EQ(OverviewPixel(*overview, 30, 30)[2], 255);
  // The first marker's pixels are the image's again.
  OverviewCopy restored = overview->Copy();
  for (int dy = 0; dy < 2; ++dy) {
    for (int dx = 0; dx < 2; ++dx) {
      for (int i = 0; i < 2; ++i) {
        const size_t at = (size_t(original.rows - 1 - 30 - dy) * 48 + size_t(30 + dx)) * 3;
        restored.bgr[at + i] = original.bgr[at + i];
        restored.bgr[at + 2] = original.bgr[at + 2];
      }
    }
  }
  EXPECT_EQ(restored.bgr, original.bgr);
}

TEST_F(OverviewTest, AClickReCentresTheView) {
  auto window = LoadedWindow();
  window->ZoomBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);  // zoom 4
  Paint(*window);
  window->Command(image_cmd::kToggleOverview);
  OverviewWindow* overview = window->Overview();
  ASSERT_NE(overview, nullptr);

  // The bottom-left corner: the view shows the image's bottom-left region.
  Click(*overview->Canvas(), QPoint(0, overview->Rows() - 1));
  Paint(*window);
  EXPECT_EQ(window->Image()->Visible().firstColumn, 0);
  EXPECT_EQ(window->Image()->Visible().firstRow, 0);

  Click(*overview->Canvas(), QPoint(47, 0));  // top right
  Paint(*window);
  // To within the one image pixel the image object's centre keeps to.
  EXPECT_GE(window->Image()->Visible().lastColumn, kWidth - 2);
  EXPECT_GE(window->Image()->Visible().lastRow, kHeight - 2);
}

TEST_F(OverviewTest, TheCloseBoxAndANewImageCloseIt) {
  auto window = LoadedWindow();
  window->Command(image_cmd::kToggleOverview);
  ASSERT_NE(window->Overview(), nullptr);
  window->Overview()->CloseBox()->click();
  Settle();
  EXPECT_EQ(window->Overview(), nullptr);
  EXPECT_EQ(window->OverviewBox()->checkState(), Qt::Unchecked);

  window->Command(image_cmd::kToggleOverview);
  ASSERT_TRUE(window->LoadImage("Bilder\\Schnitt\\ohne.bmp", false));
  Settle();
  EXPECT_EQ(window->Overview(), nullptr);
  EXPECT_EQ(window->OverviewBox()->checkState(), Qt::Unchecked);
}

}  // namespace
}  // namespace ostrelin::test
