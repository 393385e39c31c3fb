// The image object's view: zoom geometry, the zoomed bitmap, panning, scroll bars, the mapping of
// window points, the overview marker and the drawing primitives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <cstring>
#include <string>
#include <vector>

#include "resources/core/ui_texts.h"
#include "image/core/jpg_bild.h"
#include "platform/core/scripted_message_service.h"
#include "tests/support/image_samples.h"
#include "tests/support/painted_image.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

// Every source pixel tells where it comes from.
Bgr PixelOf(int column, int row) {
  return {std::uint8_t(column % 251), std::uint8_t(row % 241),
          std::uint8_t((column * 7 + row * 13) % 256)};
}

SourceImage Numbered(int width, int height) { return test::PaintedImage(width, height, PixelOf); }

// Zoomed-bitmap pixel at x, row d counted upward from the bottom.
Bgr Zoomed(const JpgBild& bild, int x, int d) { return bild.ZoomedPixel(x, d); }

std::vector<std::uint8_t> ZoomedBytes(const JpgBild& bild) {
  return std::vector<std::uint8_t>(bild.ZoomedTop(),
                                   bild.ZoomedTop() + bild.ZoomedStride() * bild.ZoomedHeight());
}

constexpr Bgr kBlack{0, 0, 0};

class ImageView : public ::testing::Test {
 protected:
  std::unique_ptr<JpgBild> Make(int width, int height, ClientSize client) {
    auto bild = std::make_unique<JpgBild>(Numbered(width, height), client, messages_);
    EXPECT_FALSE(bild->Failed());
    return bild;
  }
  // A 100 x 80 image at zoom 2 in `client`, with the margins this client must give, and pixel
  // (10, 5) plotted in kPlotted: the plotter always covers zoomed x 72..73, rows 190..191.
  std::unique_ptr<JpgBild> PlottedAtZoomTwo(ClientSize client, int horizontal, int vertical) {
    auto bild = Make(100, 80, client);
    bild->SetZoom(2.0f, 50, 40, true);
    EXPECT_EQ(bild->HorizontalMargin(), horizontal);
    EXPECT_EQ(bild->VerticalMargin(), vertical);
    // The magnifier shows the pixel as the block at 2 x (10, 5) behind the margins.
    EXPECT_EQ(Zoomed(*bild, horizontal + 20, vertical + 10), PixelOf(10, 5));
    EXPECT_EQ(Zoomed(*bild, horizontal + 21, vertical + 11), PixelOf(10, 5));
    const ImagePoint point{10, 5};
    bild->PlotPoints(kPlotted, {&point, 1});
    for (int dx : {0, 1}) {
      for (int dy : {0, 1}) EXPECT_EQ(Zoomed(*bild, 72 + dx, 190 + dy), kPlotted);
    }
    return bild;
  }
  static constexpr Bgr kPlotted{1, 250, 3};
  ScriptedMessageService messages_;
};

// ---------------------------------------------------------------------------------------------
// Loading

TEST_F(ImageView, StartsAtZoomOneShowingTheTopOfATallImage) {
  auto bild = Make(400, 1000, {600, 520});
  EXPECT_EQ(bild->Zoom(), 1.0f);
  EXPECT_EQ(bild->HighlightStatus(), "Kein hervorgehobenes Objekt");
  EXPECT_EQ(bild->ScrollBars(), (ScrollBarState{true, 30, 0, 20, 0}));
  // Column: half the narrower of image and window; row: half a window below the top edge.
  EXPECT_EQ(bild->Centre(), (ImagePoint{200, 750}));
  EXPECT_FALSE(bild->HasZoomedBitmap());

  bild->SetHighlightStatus(std::string(300, 'x'));
  EXPECT_EQ(bild->HighlightStatus().size(), 255u);
}

TEST_F(ImageView, LoadsFilesByTheirLastLetterAndReportsFailure) {
  test::TempTree tree;
  test::BmpLayout layout;
  layout.width = 8;
  layout.height = 2;
  layout.rows = {std::vector<std::uint8_t>(24, 1), std::vector<std::uint8_t>(24, 2)};
  tree.Write("Bilder/Schema/s1.bmp", test::MakeBmp(layout));
  const auto jpeg = test::EncodeJpeg(test::PhotoLikeRgb(20, 10), 20, 10, 3, JCS_RGB);
  tree.Write("Bilder/CT/c1.jpg", std::string(jpeg.begin(), jpeg.end()));

  JpgBild bmp(tree.DataPath() + "Bilder\\Schema\\S1.BMP", {300, 220}, messages_);
  EXPECT_FALSE(bmp.Failed());
  EXPECT_EQ(bmp.Width(), 8);
  EXPECT_EQ(bmp.Path(), tree.DataPath() + "Bilder\\Schema\\S1.BMP");
  JpgBild jpg(tree.DataPath() + "Bilder\\CT\\c1.jpg", {300, 220}, messages_);
  EXPECT_FALSE(jpg.Failed());
  EXPECT_EQ(jpg.Width(), 20);
  EXPECT_EQ(jpg.Centre(), (ImagePoint{10, 5}));
  EXPECT_TRUE(messages_.shown.empty());

  // A JPEG under a BMP name is read as a BMP and refused; the object reports failure.
  tree.Write("Bilder/CT/falsch.bmp", std::string(jpeg.begin(), jpeg.end()));
  JpgBild wrong(tree.DataPath() + "Bilder\\CT\\falsch.bmp", {300, 220}, messages_);
  EXPECT_TRUE(wrong.Failed());
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, image_text::kBmpNotBmp);

  JpgBild missing(tree.DataPath() + "Bilder\\CT\\fehlt.jpg", {300, 220}, messages_);
  EXPECT_TRUE(missing.Failed());
  EXPECT_EQ(messages_.shown.size(), 2u);
}

// ---------------------------------------------------------------------------------------------
// Geometry and the zoomed bitmap

TEST_F(ImageView, SmallImageIsCentredWithBlankMargins) {
  auto bild = Make(400, 300, {600, 520});
  bild->SetZoom(1.0f, 200, 150, true);
  EXPECT_EQ(bild->Visible(), (VisibleRect{0, 0, 399, 299}));
  EXPECT_EQ(bild->HorizontalMargin(), 100);  // (600 - 400) / 2
  EXPECT_EQ(bild->VerticalMargin(), 110);    // (520 - 300) / 2: the whole client height
  EXPECT_EQ(bild->ZoomedWidth(), 604);       // client width rounded down to 4, plus 4
  EXPECT_EQ(bild->ZoomedHeight(), 500);
  EXPECT_EQ(bild->HorizontalOffset(), 0);
  EXPECT_EQ(bild->VerticalOffset(), 0);

  EXPECT_EQ(Zoomed(*bild, 100, 110), PixelOf(0, 0));
  EXPECT_EQ(Zoomed(*bild, 499, 409), PixelOf(399, 299));
  EXPECT_EQ(Zoomed(*bild, 99, 110), kBlack);
  EXPECT_EQ(Zoomed(*bild, 500, 200), kBlack);
  EXPECT_EQ(Zoomed(*bild, 250, 109), kBlack);
  EXPECT_EQ(Zoomed(*bild, 250, 410), kBlack);
  // The top row of the bitmap comes first in memory.
  EXPECT_EQ(bild->ZoomedTop(), bild->ZoomedRow(499));

  // Window points (x minus the horizontal margin, y plus the vertical margin) map back to the
  // pixels; the pixel of row 10 is drawn at window y 20 + 499 - 120.
  const int hm = bild->HorizontalMargin(), vm = bild->VerticalMargin();
  EXPECT_EQ(bild->WindowPointToPixel(150 - hm, 399 + vm), (ImagePoint{50, 10}));
  EXPECT_EQ(bild->WindowPointToPixel(100 - hm, 20 + 499 - 110 + vm), (ImagePoint{0, 0}));
  EXPECT_EQ(bild->WindowPointToPixel(499 - hm, 20 + 499 - 409 + vm), (ImagePoint{399, 299}));
  // The margins, left and right, and the space above and below the image: pixel (0, 0).
  EXPECT_EQ(bild->WindowPointToPixel(50 - hm, 300 + vm), (ImagePoint{0, 0}));
  EXPECT_EQ(bild->WindowPointToPixel(99 - hm, 300 + vm), (ImagePoint{0, 0}));
  EXPECT_EQ(bild->WindowPointToPixel(520 - hm, 300 + vm), (ImagePoint{0, 0}));
  EXPECT_EQ(bild->WindowPointToPixel(150 - hm, 25 + vm), (ImagePoint{0, 0}));
  EXPECT_EQ(bild->WindowPointToPixel(150 - hm, 515 + vm), (ImagePoint{0, 0}));
}

TEST_F(ImageView, EveryZoomedPixelShowsTheSourcePixelUnderIt) {
  // Whole rows at every zoom, so that each way the magnifier and the reduction convert pixels (8
  // or 4 at a time, one by one, the row's last, the block the row end cuts) is checked.
  auto bild = Make(204, 61, {330, 120});
  for (const float zoom : {1.0f / 3, 0.5f, 1.0f, 2.0f, 3.0f}) {
    bild->SetZoom(zoom, 102, 30, true);
    const VisibleRect v = bild->Visible();
    const int repeat = zoom >= 1.0f ? int(zoom) : 1;
    const int step = zoom < 1.0f ? int(1.0f / zoom + 0.1f) : 1;
    const int hm = bild->HorizontalMargin(), vm = bild->VerticalMargin();
    for (int d = vm; d < vm + 6; ++d) {
      for (int x = 0; x < bild->ZoomedWidth(); ++x) {
        const int column = v.firstColumn + (x - hm) / repeat * step;
        const int row = v.firstRow + (d - vm) / repeat * step;
        const Bgr want = x >= hm && column <= v.lastColumn ? PixelOf(column, row) : kBlack;
        ASSERT_EQ(Zoomed(*bild, x, d), want) << zoom << ": " << x << ", " << d;
      }
    }
  }
}

TEST_F(ImageView, ZoomTwoRepeatsEveryPixelInATwoByTwoBlock) {
  auto bild = Make(400, 300, {600, 520});
  bild->SetZoom(2.0f, 200, 150, true);
  // 600 / 4 = 150 columns either side of the centre, 500 / 4 = 125 rows.
  EXPECT_EQ(bild->Visible(), (VisibleRect{50, 25, 350, 275}));
  EXPECT_EQ(bild->HorizontalMargin(), 0);
  EXPECT_EQ(bild->VerticalMargin(), 0);
  EXPECT_EQ(bild->HorizontalOffset(), -100);
  EXPECT_EQ(bild->VerticalOffset(), -48);  // (300 - 275 - 1) x 2
  for (int k : {0, 1, 77, 150, 300}) {
    for (int m : {0, 1, 100, 249}) {
      for (int dx : {0, 1}) {
        for (int dy : {0, 1}) {
          ASSERT_EQ(Zoomed(*bild, 2 * k + dx, 2 * m + dy), PixelOf(50 + k, 25 + m)) << k << m;
        }
      }
    }
  }
  // Column 350's block ends at 602, inside the 604-pixel row; the rest is blank.
  EXPECT_EQ(Zoomed(*bild, 602, 10), kBlack);
  // The inverse mapping: window (11, 509) is zoomed (11, 10), pixel (55, 30).
  EXPECT_EQ(bild->WindowPointToPixel(11, 509), (ImagePoint{55, 30}));
  EXPECT_EQ(bild->WindowPointToPixel(10, 508), (ImagePoint{55, 30}));
}

TEST_F(ImageView, ReductionsSampleEverySecondAndEveryThirdPixel) {
  auto bild = Make(900, 600, {400, 320});
  bild->SetZoom(0.5f, 450, 300, true);
  // 400 / (2 x 0.5) = 400 columns either side; the 300 usable rows need all of them: the last
  // row would be 600, one past the image, and is kept inside.
  EXPECT_EQ(bild->Visible(), (VisibleRect{50, 0, 850, 599}));
  EXPECT_EQ(bild->HorizontalOffset(), -25);
  for (int k : {0, 1, 2, 199, 399}) {
    for (int m : {0, 1, 2, 150, 299}) {
      ASSERT_EQ(Zoomed(*bild, k, m), PixelOf(50 + 2 * k, 2 * m)) << k << " " << m;
    }
  }

  bild->SetZoom(1.0f / 3, 450, 300, true);  // step trunc(1 / (1/3) + 0.1) = 3
  EXPECT_EQ(bild->Visible(), (VisibleRect{0, 0, 899, 599}));
  EXPECT_EQ(bild->HorizontalMargin(), 50);  // (400 - 300) / 2
  EXPECT_EQ(bild->VerticalMargin(), 60);    // (320 - 200) / 2
  for (int k : {0, 1, 2, 150, 299}) {
    for (int m : {0, 1, 2, 100, 199}) {
      ASSERT_EQ(Zoomed(*bild, 50 + k, 60 + m), PixelOf(3 * k, 3 * m)) << k << " " << m;
    }
  }
  EXPECT_EQ(Zoomed(*bild, 49, 100), kBlack);
  EXPECT_EQ(Zoomed(*bild, 350, 100), kBlack);
  EXPECT_EQ(Zoomed(*bild, 100, 260), kBlack);
}

TEST_F(ImageView, VisiblePartIsPushedBackInsideTheImageAtEveryEdge) {
  auto bild = Make(1000, 800, {400, 320});
  // Near the left and bottom edges the view starts at column and row 0.
  bild->SetZoom(1.0f, 50, 20, true);
  EXPECT_EQ(bild->Visible(), (VisibleRect{0, 0, 400, 300}));
  EXPECT_EQ(bild->Centre(), (ImagePoint{200, 150}));
  // Near the right and top edges it ends at the last column and row.
  bild->SetZoom(1.0f, 990, 790, true);
  EXPECT_EQ(bild->Visible(), (VisibleRect{599, 500, 999, 799}));
  EXPECT_EQ(bild->Centre(), (ImagePoint{799, 650}));
  EXPECT_EQ(bild->VerticalOffset(), 0);
  EXPECT_EQ(Zoomed(*bild, 400, 299), PixelOf(999, 799));  // the top-right corner, in the row

  // A window exactly as wide as the image, centred where the bounds would reach column 1000 or
  // column -1: the view stays inside, and rebuilding reads nothing outside the pixels.
  auto exact = Make(400, 300, {400, 320});
  exact->SetZoom(1.0f, 200, 150, true);
  EXPECT_EQ(exact->Visible().lastColumn, 399);
  EXPECT_EQ(exact->Visible().lastRow, 299);
  exact->SetZoom(1.0f, 350, 250, true);
  EXPECT_EQ(exact->Visible().firstColumn, 0);
  EXPECT_EQ(exact->Visible().lastColumn, 399);
}

TEST_F(ImageView, AViewPushedToTheRightOrTopEdgeStaysThereAtTheNextLayout) {
  // Every paint lays the view out again around the centre the last layout kept. At the right
  // and top edges that centre must lead back to the same view: with an odd and an even number
  // of columns and rows in the window, and at every zoom the atlas offers.
  for (const ClientSize client : {ClientSize{406, 321}, ClientSize{400, 320}}) {
    for (const float zoom : {1.0f / 3, 0.5f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f}) {
      SCOPED_TRACE(testing::Message() << client.width << "x" << client.height << " zoom " << zoom);
      auto bild = Make(1000, 800, client);
      bild->SetZoom(zoom, 995, 795, true);
      const VisibleRect edge = bild->Visible();
      const int horizontal = bild->HorizontalOffset();
      EXPECT_EQ(edge.lastColumn, 999);
      EXPECT_EQ(edge.lastRow, 799);
      EXPECT_EQ(bild->VerticalOffset(), 0);

      bild->SetZoomKeepingCentre(zoom);
      EXPECT_EQ(bild->Visible(), edge);
      EXPECT_EQ(bild->HorizontalOffset(), horizontal);
      EXPECT_EQ(bild->VerticalOffset(), 0);
    }
  }
}

TEST_F(ImageView, PanningReachesTheRightEdgeAndTheWindowIsFilled) {
  // 406 pixels hold 101.5 columns at zoom 4: the view shows 102, the last one cut by the edge.
  auto bild = Make(200, 800, {406, 320});
  bild->SetZoom(4.0f, 100, 400, true);
  EXPECT_EQ(bild->Visible().firstColumn, 50);
  EXPECT_EQ(bild->Visible().lastColumn, 151);
  EXPECT_EQ(Zoomed(*bild, 405, 100), Zoomed(*bild, 404, 100));
  EXPECT_NE(Zoomed(*bild, 405, 100), kBlack);

  // Panning right by 20 window pixels at a time, never past the window's limit: the last step
  // is cut short by the limit (less than one zoomed column), and still the last column shows.
  const int limit = 406 - 200 * 4;
  for (int i = 0; i < 30; ++i) {
    bild->SetHorizontalOffset(std::max(bild->HorizontalOffset() - 20, limit));
    bild->SetZoomKeepingCentre(4.0f);
  }
  EXPECT_EQ(bild->Visible().lastColumn, 199);
  EXPECT_GE(bild->HorizontalOffset(), limit);
  EXPECT_EQ(Zoomed(*bild, (199 - bild->Visible().firstColumn) * 4, 100),
            PixelOf(199, bild->Visible().firstRow + 25));
}

TEST_F(ImageView, VerticalMarginNeverPushesTheTopRowsOutOfTheBitmap) {
  // 495 rows in a 500-row area: centring in the whole 520-pixel client height would put the top
  // 7 rows above the bitmap.
  auto bild = Make(100, 495, {200, 520});
  bild->SetZoom(1.0f, 50, 250, true);
  EXPECT_EQ(bild->VerticalMargin(), 5);
  EXPECT_EQ(Zoomed(*bild, 50, 499), PixelOf(0, 494));
  EXPECT_EQ(Zoomed(*bild, 50, 5), PixelOf(0, 0));
  EXPECT_EQ(Zoomed(*bild, 50, 4), kBlack);

  // With room to spare the image sits in the middle of the whole client area, as always.
  auto small = Make(100, 300, {200, 520});
  small->SetZoom(1.0f, 50, 150, true);
  EXPECT_EQ(small->VerticalMargin(), 110);
}

TEST_F(ImageView, PanningMovesTheCentreByImagePixels) {
  auto bild = Make(2000, 1500, {800, 620});
  bild->SetZoom(2.0f, 1000, 750, true);
  EXPECT_EQ(bild->Visible().firstColumn, 800);
  EXPECT_EQ(bild->HorizontalOffset(), -1600);

  bild->SetHorizontalOffset(-1700);  // 100 window pixels further right: 50 image columns
  EXPECT_EQ(bild->Centre().column, 1050);
  bild->SetHorizontalOffset(-1700);  // unchanged: nothing moves
  EXPECT_EQ(bild->Centre().column, 1050);
  const int vertical = bild->VerticalOffset();
  bild->SetVerticalOffset(vertical - 100);  // 100 pixels down: the centre row drops 50
  EXPECT_EQ(bild->Centre().row, 700);

  bild->SetZoomKeepingCentre(2.0f);
  EXPECT_EQ(bild->Visible().firstColumn, 850);
  EXPECT_EQ(bild->Visible().firstRow, 550);
  EXPECT_EQ(bild->HorizontalOffset(), -1700);
  EXPECT_TRUE(bild->HasZoomedBitmap());
}

TEST_F(ImageView, ScrollBarsFollowTheZoomedImage) {
  auto bild = Make(2000, 1500, {800, 620});
  bild->SetZoom(2.0f, 1000, 750, false);
  bild->UpdateScrollBars();
  // 620 - trunc(1499 x 2) - 20 and 800 - 2000 x 2.
  EXPECT_EQ(bild->SmallestVerticalOffset(), -2398);
  EXPECT_EQ(bild->SmallestHorizontalOffset(), -3200);
  EXPECT_EQ(bild->ScrollBars(), (ScrollBarState{true, 3200, 1600, 2398, -bild->VerticalOffset()}));

  // At zoom 3 the limits are whole multiples of 3: -5200 becomes -5199.
  bild->SetZoom(3.0f, 1000, 750, false);
  bild->UpdateScrollBars();
  EXPECT_EQ(bild->SmallestVerticalOffset(), -3897);
  EXPECT_EQ(bild->SmallestHorizontalOffset(), -5199);

  // An image that fits gives positive limits, 800 - 666 and 620 - 499 - 20; the bars' ranges
  // are their absolute values.
  bild->SetZoom(1.0f / 3, 1000, 750, false);
  bild->UpdateScrollBars();
  EXPECT_EQ(bild->SmallestHorizontalOffset(), 134);
  EXPECT_EQ(bild->SmallestVerticalOffset(), 101);
  EXPECT_EQ(bild->ScrollBars(), (ScrollBarState{true, 134, 0, 101, 0}));
}

TEST_F(ImageView, StripTextShowsTheZoom) {
  auto bild = Make(40, 40, {200, 220});
  EXPECT_EQ(bild->ZoomText(), "  Zoom: 1.00   ");
  bild->SetZoom(1.0f / 3, 20, 20, false);
  EXPECT_EQ(bild->ZoomText(), "  Zoom: 0.33   ");
  bild->SetZoom(5.0f, 20, 20, false);
  EXPECT_EQ(bild->ZoomText(), "  Zoom: 5.00   ");
}

TEST_F(ImageView, UnusableZoomsAndReleasedImagesAreHarmless) {
  auto bild = Make(40, 40, {200, 220});
  bild->SetZoom(2.0f, 20, 20, true);
  for (float z : {0.0f, -1.0f, 1000.0f, std::numeric_limits<float>::quiet_NaN()}) {
    bild->SetZoom(z, 20, 20, true);
    EXPECT_EQ(bild->Zoom(), 2.0f);
  }
  // Without rebuild there is no zoomed bitmap, and drawing goes nowhere.
  bild->SetZoom(1.0f, 20, 20, false);
  EXPECT_FALSE(bild->HasZoomedBitmap());
  const ImagePoint p{5, 5};
  bild->PlotPoints(kHighlightGreen, {&p, 1});
  bild->DrawVLine(5, 0, 30, kHighlightGreen);

  bild->Release();
  EXPECT_TRUE(bild->Failed());
  bild->SetZoom(1.0f, 20, 20, true);
  bild->PlotPoints(kHighlightGreen, {&p, 1});
  bild->UpdateScrollBars();
  EXPECT_EQ(bild->WindowPointToPixel(10, 100), (ImagePoint{0, 0}));
  // A window too small for anything.
  bild = Make(40, 40, {0, 5});
  bild->SetZoom(3.0f, 20, 20, true);
  bild->PlotPoints(kHighlightGreen, {&p, 1});
  EXPECT_EQ(bild->ZoomedHeight(), 0);
  EXPECT_TRUE(messages_.shown.empty());
}

// ---------------------------------------------------------------------------------------------
// Drawing

TEST_F(ImageView, PlottedPointCoversItsOwnMagnifiedBlock) {
  // Margins that are multiples of the zoom: the block lands where the magnifier put the pixel.
  const auto bild = PlottedAtZoomTwo({305, 520}, 52, 180);
  EXPECT_EQ(Zoomed(*bild, 71, 190), PixelOf(9, 5));
  EXPECT_EQ(Zoomed(*bild, 74, 190), PixelOf(11, 5));
  EXPECT_EQ(Zoomed(*bild, 72, 189), PixelOf(10, 4));
  EXPECT_EQ(Zoomed(*bild, 72, 192), PixelOf(10, 6));

  // Points outside the image are skipped.
  const auto before = ZoomedBytes(*bild);
  const std::vector<ImagePoint> outside = {{-1, 5}, {100, 5}, {10, -1}, {10, 80}};
  bild->PlotPoints(kPlotted, outside);
  EXPECT_EQ(ZoomedBytes(*bild), before);
}

TEST_F(ImageView, PlotterCountsOddMarginsInWholeImagePixels) {
  // Margins 53 and 181 at zoom 2: the magnifier puts pixel (10, 5) at x 73..74, rows 191..192;
  // the plotter at ((10 + 53 / 2) x 2, (5 + 181 / 2) x 2) = (72, 190), one pixel left and down.
  const auto bild = PlottedAtZoomTwo({307, 522}, 53, 181);
  EXPECT_EQ(Zoomed(*bild, 74, 191), PixelOf(10, 5));
  EXPECT_EQ(Zoomed(*bild, 72, 192), PixelOf(9, 5));

  // Mapping back at zoom 2: zoomed row d is window y 20 + 501 - d. The window pixel just left of
  // the image, or just below it, is half an image pixel outside, not column or row 0.
  const int hm = bild->HorizontalMargin(), vm = bild->VerticalMargin();
  EXPECT_EQ(bild->WindowPointToPixel(73 - hm, 20 + 501 - 191 + vm), (ImagePoint{10, 5}));
  EXPECT_EQ(bild->WindowPointToPixel(53 - hm, 20 + 501 - 191 + vm), (ImagePoint{0, 5}));
  EXPECT_EQ(bild->WindowPointToPixel(52 - hm, 20 + 501 - 191 + vm), (ImagePoint{0, 0}));
  EXPECT_EQ(bild->WindowPointToPixel(73 - hm, 20 + 501 - 181 + vm), (ImagePoint{10, 0}));
  EXPECT_EQ(bild->WindowPointToPixel(73 - hm, 20 + 501 - 180 + vm), (ImagePoint{0, 0}));
}

TEST_F(ImageView, PlottedPointsFollowTheReduction) {
  auto bild = Make(900, 600, {400, 320});
  bild->SetZoom(1.0f / 3, 450, 300, true);
  const Bgr colour{9, 9, 9};
  // Pixel (3, 6) is the sample shown at (1, 2) behind the margins; (8, 2) falls on the sample of
  // (6, 0) at (2, 0).
  const std::vector<ImagePoint> points = {{3, 6}, {8, 2}};
  bild->PlotPoints(colour, points);
  EXPECT_EQ(Zoomed(*bild, 50 + 1, 60 + 2), colour);
  EXPECT_EQ(Zoomed(*bild, 50 + 2, 60 + 0), colour);
  EXPECT_EQ(Zoomed(*bild, 50 + 2, 60 + 2), PixelOf(6, 6));
  EXPECT_EQ(Zoomed(*bild, 50 + 1, 60 + 0), PixelOf(3, 0));
}

TEST_F(ImageView, BlocksAreCutAtTheRowEnd) {
  // Zoom 5 in a 203-pixel window: 41 visible columns need 205 pixels, the row has 204.
  auto bild = Make(100, 100, {203, 420});
  bild->SetZoom(5.0f, 50, 50, true);
  ASSERT_EQ(bild->Visible().firstColumn, 30);
  ASSERT_EQ(bild->Visible().lastColumn, 70);
  ASSERT_EQ(bild->ZoomedWidth(), 204);
  EXPECT_EQ(Zoomed(*bild, 203, 10), PixelOf(70, bild->Visible().firstRow + 2));

  const int row = bild->Visible().firstRow + 4;  // zoomed rows 20..24
  const Bgr below = Zoomed(*bild, 0, 19);        // the next row in memory after row 20
  const ImagePoint corner{70, row};
  bild->PlotPoints({7, 7, 7}, {&corner, 1});
  EXPECT_EQ(Zoomed(*bild, 203, 20), (Bgr{7, 7, 7}));
  EXPECT_EQ(Zoomed(*bild, 0, 19), below);
  EXPECT_EQ(Zoomed(*bild, 0, 20), PixelOf(30, row));
}

TEST_F(ImageView, VerticalLinesAreClampedToTheVisibleRows) {
  auto bild = Make(100, 80, {305, 520});
  bild->SetZoom(1.0f, 50, 40, true);  // whole image, margins 102 and 220
  const int hm = bild->HorizontalMargin(), vm = bild->VerticalMargin();
  const Bgr c{0, 255, 0};
  const auto coloured = [&](int column, int row) {
    return Zoomed(*bild, hm + column, vm + row) == c;
  };

  bild->DrawVLine(10, -5, 200, c);  // through the whole image
  EXPECT_TRUE(coloured(10, 0));
  EXPECT_TRUE(coloured(10, 79));
  bild->DrawVLine(40, 70, 100, c);  // from inside to above the top
  EXPECT_FALSE(coloured(40, 69));
  EXPECT_TRUE(coloured(40, 70));
  EXPECT_TRUE(coloured(40, 79));
  bild->DrawVLine(41, -20, 3, c);  // from below the bottom to inside
  EXPECT_TRUE(coloured(41, 0));
  EXPECT_TRUE(coloured(41, 3));
  EXPECT_FALSE(coloured(41, 4));
  bild->DrawVLine(97, 5, 6, c);  // the last column that takes a line
  EXPECT_TRUE(coloured(97, 5));

  const auto before = ZoomedBytes(*bild);
  bild->DrawVLine(20, -10, -1, c);  // both ends below
  bild->DrawVLine(30, 90, 100, c);  // both ends above
  bild->DrawVLine(98, 0, 10, c);    // the last two visible columns take no line
  bild->DrawVLine(-1, 0, 10, c);
  bild->DrawVLine(50, 10, 5, c);  // upside down
  EXPECT_EQ(ZoomedBytes(*bild), before);
}

TEST_F(ImageView, KeptMarginsAndReusedBuffersGiveTheBitmapOfAFreshBuild) {
  // A rebuild for an unchanged layout writes only the image band while the margins are known to
  // be black; blocks plotted at the corners reach into the margins (odd margins), after which
  // the next build must write them again. The next image decodes into the old one's buffers.
  test::TempTree tree;
  const int width = 100, height = 80;
  const std::string bytes = [&] {
    const auto jpeg =
        test::EncodeJpeg(test::PhotoLikeRgb(width, height), width, height, 3, JCS_RGB);
    return std::string(jpeg.begin(), jpeg.end());
  }();
  tree.Write("a.jpg", bytes);
  tree.Write("b.jpg", bytes);
  const ClientSize client{307, 522};
  const ImagePoint corners[] = {{0, 0}, {width - 1, height - 1}, {0, height - 1}, {width - 1, 0}};
  for (float zoom : {1.0f / 3, 0.5f, 1.0f, 2.0f, 3.0f}) {
    JpgBild fresh(tree.DataPath() + "a.jpg", client, messages_);
    fresh.SetZoom(zoom, 50, 40, true);
    const auto want = ZoomedBytes(fresh);

    auto bild = std::make_unique<JpgBild>(tree.DataPath() + "a.jpg", client, messages_);
    bild->SetZoom(zoom, 50, 40, true);
    bild->PlotPoints(kPlotted, corners);
    EXPECT_NE(ZoomedBytes(*bild), want);
    if (zoom == 2.0f) {
      EXPECT_FALSE(bild->ZoomedMarginsBlack()) << "the blocks reach the margins";
    }
    bild->SetZoom(zoom, 50, 40, true);
    EXPECT_EQ(ZoomedBytes(*bild), want) << zoom;
    EXPECT_TRUE(bild->ZoomedMarginsBlack());

    bild->PlotPoints(kPlotted, corners);
    const std::uint8_t* oldPixels = bild->Source().pixels.get();
    const std::uint8_t* oldZoomed = bild->ZoomedTop();
    JpgBild next(tree.DataPath() + "b.jpg", client, messages_, bild->TakeBuffers());
    ASSERT_FALSE(next.Failed());
    EXPECT_EQ(next.Source().pixels.get(), oldPixels) << "same size: the same pixels";
    next.SetZoom(zoom, 50, 40, true);
    EXPECT_EQ(next.ZoomedTop(), oldZoomed);
    EXPECT_EQ(ZoomedBytes(next), want) << zoom;
    next.SetZoom(zoom, 50, 40, true);  // margins kept black
    EXPECT_EQ(ZoomedBytes(next), want) << zoom;
    EXPECT_FALSE(next.SetZoomKeepingBitmap(zoom, 50, 40)) << "nothing to rebuild";
    EXPECT_TRUE(next.SetZoomKeepingBitmap(zoom * 2, 50, 40)) << "another layout";
  }
  EXPECT_TRUE(messages_.shown.empty());
}

// ---------------------------------------------------------------------------------------------
// Overview marker

TEST_F(ImageView, OverviewMarkerMovesAndGivesThePixelsBack) {
  auto bild = Make(64, 48, {200, 220});
  // The overview: 16 columns, 12 rows, bottom-up.
  std::vector<std::uint8_t> pixels(16 * 12 * 3);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = std::uint8_t(i * 7);
  const auto original = pixels;
  OverviewPixels overview{pixels.data(), 16, 12};
  const auto at = [&pixels](int x, int yDown) {
    const std::uint8_t* p = &pixels[(std::size_t(11 - yDown) * 16 + std::size_t(x)) * 3];
    return Bgr{p[0], p[1], p[2]};
  };
  const Bgr red{0, 0, 255};

  // Pixel (20, 30): overview column 20 / 4 = 5, window row 48 / 4 - 30 / 4 = 5; the block
  // reaches right and down from there.
  EXPECT_FALSE(bild->MarkOverview({20, 30}, overview));
  auto expected = original;
  for (int x : {5, 6}) {
    for (int y : {5, 6}) {
      std::uint8_t* p = &expected[(std::size_t(11 - y) * 16 + std::size_t(x)) * 3];
      p[0] = 0, p[1] = 0, p[2] = 255;
    }
  }
  EXPECT_EQ(pixels, expected);  // those four pixels and no others
  EXPECT_EQ(at(5, 5), red);
  // The next marking restores those four pixels exactly. The bottom rows of the image put the
  // block below the overview: nothing is drawn.
  bild->MarkOverview({63, 0}, overview);
  EXPECT_EQ(pixels, original);
  // Rows 4 to 7 at the right edge: only the top left pixel of the block lies inside.
  bild->MarkOverview({63, 4}, overview);
  EXPECT_EQ(at(15, 11), red);
  std::memcpy(&pixels[15 * 3], &original[15 * 3], 3);
  EXPECT_EQ(pixels, original);

  // Every eleventh marking asks for a repaint of the whole overview.
  int repaints = 0;
  for (int i = 3; i <= 22; ++i) repaints += bild->MarkOverview({i, i}, overview);
  EXPECT_EQ(repaints, 2);  // the 11th and the 22nd

  // A fresh overview (shown again) is not "restored" with pixels of the old one.
  std::vector<std::uint8_t> fresh(16 * 12 * 3, 40);
  bild->MarkOverview({0, 47}, {fresh.data(), 16, 12});
  EXPECT_EQ(std::count(fresh.begin(), fresh.end(), 40), std::ptrdiff_t(fresh.size() - 4 * 3));
  EXPECT_FALSE(bild->MarkOverview({0, 0}, {nullptr, 0, 0}));
}

}  // namespace
}  // namespace ostrelin
