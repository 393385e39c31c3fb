#pragma once
// What the image fuzz targets do with an image that decoded: lay it out at every zoom of the
// atlas in a window whose size the input chooses, rebuild the zoomed bitmap, map points, move the
// overview marker and draw, checking that the view stays inside the image. The sanitizers catch
// every read or write outside the pixels.
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "image/core/jpg_bild.h"
#include "platform/core/message_service.h"

namespace ostrelin::fuzz {

inline void ExerciseView(SourceImage image, std::span<const std::uint8_t> input,
                         MessageService& messages) {
  Check(!image.Empty() && image.width % 4 == 0);
  std::uint32_t seed = 2166136261u;
  for (std::size_t i = 0; i < input.size() && i < 64; ++i) seed = (seed ^ input[i]) * 16777619u;
  // Windows up to 320 x 240: beside the small images fuzzing makes, they reach every margin and
  // scroll case, and the zoomed bitmap stays small enough for thousands of runs a second.
  const ClientSize client{int(seed % 320), int((seed >> 10) % 240)};
  const int width = image.width;
  const int height = image.height;

  JpgBild bild(std::move(image), client, messages);
  Check(!bild.Failed());
  std::vector<std::uint8_t> overviewPixels(std::size_t(width / 4 / 4 * 4) * (height / 4) * 3 + 3);
  const OverviewPixels overview{overviewPixels.data(), width / 4 / 4 * 4, height / 4};

  const float zooms[] = {1.0f / 3, 0.5f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f};
  for (float zoom : zooms) {
    const int cx = int(seed % std::uint32_t(width + 40)) - 20;
    const int cy = int((seed >> 7) % std::uint32_t(height + 40)) - 20;
    bild.SetZoom(zoom, cx, cy, true);
    const VisibleRect& v = bild.Visible();
    Check(v.firstColumn >= 0 && v.lastColumn < width && v.firstRow >= 0 && v.lastRow < height);
    bild.UpdateScrollBars();
    const ScrollBarState& bars = bild.ScrollBars();
    Check(bars.horizontalMax >= 0 && bars.verticalMax >= 0);

    for (int x = -5; x < client.width + 5; x += 37) {
      for (int y = -5; y < client.height + 25; y += 41) {
        const ImagePoint p = bild.WindowPointToPixel(x - bild.HorizontalMargin(),
                                                     y + bild.VerticalMargin());
        Check(p.column >= 0 && p.column < width && p.row >= 0 && p.row < height);
        if (overview.columns > 0 && overview.rows > 0) bild.MarkOverview(p, overview);
      }
    }
    const ImagePoint corners[] = {{v.firstColumn, v.firstRow}, {v.lastColumn, v.lastRow},
                                  {v.lastColumn, v.firstRow}, {v.firstColumn, v.lastRow},
                                  {-1, 0},  {width, height}};
    bild.PlotPoints(kHighlightGreen, corners);
    bild.DrawVLine(v.lastColumn - 2, -1, height, kHighlightGreen);
    bild.DrawVLine(v.firstColumn, v.firstRow, v.lastRow, kHighlightGreen);
    bild.SetHorizontalOffset(bild.HorizontalOffset() - 57);
    bild.SetVerticalOffset(bild.VerticalOffset() + 31);
    bild.SetZoomKeepingCentre(zoom);
  }
}

}  // namespace ostrelin::fuzz
