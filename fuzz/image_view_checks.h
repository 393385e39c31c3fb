#pragma once
// What the image fuzz targets do with an image that decoded: lay it out at every zoom of the
// atlas in a window whose size the input chooses, rebuild the zoomed bitmap, map points, move the
// overview marker and draw, checking that the view stays inside the image. The sanitizers catch
// every read or write outside the pixels.
//
// DecodeBothWays runs a decoder on the input in memory and, in one run of `fileEvery`, on the same
// bytes as a file with a path, and checks that both agree; in one run of eight, one allocation of
// the in-memory decode fails instead. Which runs do what is chosen from the input's first bytes
// and its length, so an input always runs the same way. (A file costs a dozen system calls and,
// for a JPEG, a second decode: on every run it would halve the rate of a campaign.)
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/allocation_failure.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/memory_file.h"
#include "image/core/jpg_bild.h"
#include "platform/core/message_service.h"
#include "platform/core/scripted_message_service.h"

namespace ostrelin::fuzz {

// A hash of the input's first 64 bytes: the choices a target makes beside the decoder's own.
inline std::uint32_t InputSeed(std::span<const std::uint8_t> input) {
  std::uint32_t seed = 2166136261u;
  for (std::size_t i = 0; i < input.size() && i < 64; ++i) seed = (seed ^ input[i]) * 16777619u;
  return seed;
}

inline void ExerciseView(SourceImage image, std::span<const std::uint8_t> input,
                         MessageService& messages) {
  Check(!image.Empty() && image.width % 4 == 0);
  const std::uint32_t seed = InputSeed(input);
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
        const ImagePoint p =
            bild.WindowPointToPixel(x - bild.HorizontalMargin(), y + bild.VerticalMargin());
        Check(p.column >= 0 && p.column < width && p.row >= 0 && p.row < height);
        if (overview.columns > 0 && overview.rows > 0) bild.MarkOverview(p, overview);
      }
    }
    const ImagePoint corners[] = {{v.firstColumn, v.firstRow},
                                  {v.lastColumn, v.lastRow},
                                  {v.lastColumn, v.firstRow},
                                  {v.firstColumn, v.lastRow},
                                  {-1, 0},
                                  {width, height}};
    bild.PlotPoints(kHighlightGreen, corners);
    bild.DrawVLine(v.lastColumn - 2, -1, height, kHighlightGreen);
    bild.DrawVLine(v.firstColumn, v.firstRow, v.lastRow, kHighlightGreen);
    bild.SetHorizontalOffset(bild.HorizontalOffset() - 57);
    bild.SetVerticalOffset(bild.VerticalOffset() + 31);
    bild.SetZoomKeepingCentre(zoom);
  }
}

using DecodeFromMemory = bool (*)(std::span<const std::uint8_t>, SourceImage&, MessageService&,
                                  const ImageLimits&);
using DecodeFromPath = bool (*)(std::string_view, SourceImage&, MessageService&,
                                const ImageLimits&);

inline bool SameMessages(const ScriptedMessageService& a, const ScriptedMessageService& b) {
  if (a.shown.size() != b.shown.size() || a.beeps != b.beeps) return false;
  for (std::size_t i = 0; i < a.shown.size(); ++i) {
    const auto& x = a.shown[i];
    const auto& y = b.shown[i];
    if (x.text != y.text || x.buttons != y.buttons || x.icon != y.icon || x.caption != y.caption) {
      return false;
    }
  }
  return true;
}

// A decode that gave up, or that worked and kept to the limits.
inline void CheckOutcome(bool ok, const SourceImage& image, const ScriptedMessageService& messages,
                         const ImageLimits& limits) {
  Check(ok == !image.Empty());
  Check(ok || !messages.shown.empty());  // a refusal always says why
  if (ok) Check(image.width <= limits.maxSide && image.height <= limits.maxSide);
}

inline void DecodeBothWays(std::span<const std::uint8_t> input, const ImageLimits& limits,
                           DecodeFromMemory fromMemory, DecodeFromPath fromPath,
                           std::uint32_t fileEvery) {
  // A file that is not there is refused with its name, once per process.
  static const bool missingChecked = [&] {
    ScriptedMessageService messages;
    SourceImage image;
    const std::string missing = "/proc/self/fd/-1/missing";
    Check(!fromPath(missing, image, messages, limits) && image.Empty());
    Check(messages.shown.size() == 1 && messages.shown[0].text.ends_with(missing));
    return true;
  }();
  Check(missingChecked);

  ScriptedMessageService messages;
  SourceImage image;
  const std::uint32_t seed = (InputSeed(input) ^ std::uint32_t(input.size())) * 16777619u;
  if (seed % 8 == 0) {
    // Out of memory at one of the first allocations: the decoder's own ones give up with a
    // message; one in the message service may escape as bad_alloc, as from a message box, and
    // the sanitizers check that it leaks nothing.
    bool ok = false;
    try {
      FailingAllocation failing(long(seed / 8 % 4));
      ok = fromMemory(input, image, messages, limits);
    } catch (const std::bad_alloc&) {
      return;
    }
    Check(ok == !image.Empty());
    return;
  }

  const bool ok = fromMemory(input, image, messages, limits);
  CheckOutcome(ok, image, messages, limits);

  // The same bytes read from a file: the same result, the same pixels, the same messages.
  if (seed / 8 % fileEvery != 0) {
    if (ok) ExerciseView(std::move(image), input, messages);
    return;
  }
  ScriptedMessageService fileMessages;
  SourceImage fileImage;
  const MemoryFile file(input.data(), input.size());
  const bool fileOk = fromPath(file.Path(), fileImage, fileMessages, limits);
  Check(fileOk == ok && SameMessages(fileMessages, messages));
  Check(fileImage.width == image.width && fileImage.height == image.height);
  if (ok) Check(std::memcmp(fileImage.pixels.get(), image.pixels.get(), image.Bytes()) == 0);

  if (ok) ExerciseView(std::move(image), input, messages);
}

}  // namespace ostrelin::fuzz
