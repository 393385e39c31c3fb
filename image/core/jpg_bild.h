#pragma once
// JpgBild, the image object of the image window: one sectional image in memory, the zoom and the
// visible part of it, the window-sized zoomed bitmap that is painted below the 20-pixel status
// strip, the scroll-bar state, the mapping of window points back to image pixels, the marker in
// the overview and the two drawing primitives the structure highlighting is built on.
//
// The zoomed bitmap holds 32-bit pixels, 0xFFRRGGBB (Qt's RGB32): the format Qt paints with a
// plain copy. The magnifier and the reduction turn the source's three-byte pixels into them on
// the way, once per rebuild rather than once per paint.
//
// Coordinates: image columns count from the left edge, image rows upward from the bottom edge
// (the row order of the source bitmap). The zoomed bitmap is addressed the same way, row 0 at the
// bottom; in memory it is kept top-down so that it can be painted without a copy.
//
// The object has no window: the window tells it its client size (strip included) and paints the
// zoomed bitmap; scroll-bar ranges come back as plain values for the window to apply.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/core/point_plotter.h"
#include "image/core/source_image.h"
#include "platform/core/message_service.h"

namespace ostrelin {

// Height of the status strip at the top of the window that shows the zoom factor.
inline constexpr int kStripHeight = 20;

// The image window's client area in pixels, the strip included.
struct ClientSize {
  int width = 0;
  int height = 0;
};

// What the window's two scroll bars show: ranges 0..max, and the positions.
struct ScrollBarState {
  bool shown = false;
  int horizontalMax = 0;
  int horizontalPosition = 0;
  int verticalMax = 0;
  int verticalPosition = 0;
  friend bool operator==(const ScrollBarState&, const ScrollBarState&) = default;
};

// The part of the source image on screen, inclusive at both ends.
struct VisibleRect {
  int firstColumn = 0;
  int firstRow = 0;
  int lastColumn = -1;
  int lastRow = -1;
  friend bool operator==(const VisibleRect&, const VisibleRect&) = default;
};

// The overview's reduced copy of the image, as the marker draws into it: `rows` rows bottom-up of
// `columns` blue-green-red pixels each, no padding. The overview window owns the pixels.
struct OverviewPixels {
  std::uint8_t* bgr = nullptr;
  int columns = 0;
  int rows = 0;
};

// What a zoomed bitmap was built for: the view's layout. Two builds for equal layouts write image
// pixels into the same band and black everywhere else.
struct ZoomedLayout {
  float zoom = 0.0f;
  VisibleRect visible;
  int horizontalMargin = 0;
  int verticalMargin = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const ZoomedLayout&, const ZoomedLayout&) = default;
};

// The part of the zoomed bitmap a build wrote image pixels (or the black of rows between them)
// into: columns left..right-1, rows bottom..top-1 counted upward. All else is margin.
struct ZoomedBand {
  int left = 0;
  int right = 0;
  int bottom = 0;
  int top = 0;
};

// The memory of an image object that is no longer shown, for the next one to reuse: a page
// switch between images of one size then touches no fresh memory, and when the view's layout
// stays, the black margins of the zoomed bitmap are not written again.
struct JpgBildBuffers {
  SourceImage source;
  std::unique_ptr<std::uint32_t[]> zoomed;
  std::size_t zoomedCapacity = 0;  // bytes
  ZoomedLayout zoomedLayout;
  ZoomedBand zoomedBand;
  bool marginsBlack = false;
};

// Decodes the image file at `path`, a Windows path of the atlas: a BMP when the path's last
// character is 'P' or 'p', otherwise a JPEG. On failure `image` is empty and every reason has been
// shown through `messages`. Safe on any thread.
bool DecodeImageFile(std::string_view path, SourceImage& image, MessageService& messages,
                     const ImageLimits& limits = {});

class JpgBild final : public PointPlotter {
 public:
  // Loads the image file at `path`, a Windows path of the atlas: a BMP when the path's last
  // character is 'P' or 'p', otherwise a JPEG. Failed() tells whether it loaded; every reason has
  // been shown through `messages` then, and the caller discards the object.
  JpgBild(std::string path, ClientSize client, MessageService& messages,
          const ImageLimits& limits = {});
  // The same, decoding into the memory of `reuse` where the sizes allow (a JPEG of the same size
  // reuses the source pixels; the zoomed bitmap is reused when it is large enough). Whatever is
  // not reused is freed before anything new is allocated.
  JpgBild(std::string path, ClientSize client, MessageService& messages, JpgBildBuffers reuse,
          const ImageLimits& limits = {});
  // An image decoded elsewhere (from memory). Failed() when it is empty.
  JpgBild(SourceImage image, ClientSize client, MessageService& messages);
  // The image file at `path` decoded elsewhere (ahead, on another thread) into `decoded`, with the
  // zoomed bitmap of `reuse` where it is large enough; the rest of `reuse` is freed.
  JpgBild(std::string path, SourceImage decoded, ClientSize client, MessageService& messages,
          JpgBildBuffers reuse);

  bool Failed() const { return source_.Empty(); }
  const std::string& Path() const { return path_; }
  const SourceImage& Source() const { return source_; }
  int Width() const { return source_.width; }
  int Height() const { return source_.height; }

  // The window's client area changed; the next SetZoom lays the view out for it.
  void SetClientSize(ClientSize client) { client_ = client; }
  ClientSize Client() const { return client_; }

  // Lays the view out around the centre pixel at `zoom` (1/3, 1/2 or 1 to 5 in the atlas) and,
  // when `rebuild` is set, builds the zoomed bitmap. A zoom outside 1/64 to 64 (or not a number)
  // is ignored: beyond that the geometry would overflow. Until the next rebuild there is no
  // zoomed bitmap, and drawing goes nowhere.
  void SetZoom(float zoom, int centreColumn, int centreRow, bool rebuild);
  void SetZoomKeepingCentre(float zoom);
  // Lays the view out as SetZoom does, but rebuilds the zoomed bitmap only when there is none or
  // the layout differs from the one it was built for: the bitmap, with whatever was drawn into
  // it, stays. True when it was rebuilt. For a paint that only restores part of the window.
  bool SetZoomKeepingBitmap(float zoom, int centreColumn, int centreRow);

  // Panning: a new offset moves the centre by the distance in image pixels; the next SetZoom
  // lays the view out around it.
  void SetHorizontalOffset(int offset);
  void SetVerticalOffset(int offset);

  float Zoom() const { return zoom_; }
  ImagePoint Centre() const { return centre_; }
  const VisibleRect& Visible() const { return visible_; }
  int HorizontalMargin() const { return horizontalMargin_; }
  int VerticalMargin() const { return verticalMargin_; }
  int HorizontalOffset() const { return horizontalOffset_; }
  int VerticalOffset() const { return verticalOffset_; }

  // The scroll limits and the scroll-bar state, recomputed at every paint. The smallest offsets
  // are negative when the zoomed image is larger than the window and positive when it fits; the
  // bars' ranges run from 0 to their absolute values.
  void UpdateScrollBars();
  const ScrollBarState& ScrollBars() const { return scrollBars_; }
  int SmallestHorizontalOffset() const { return smallestHorizontalOffset_; }
  int SmallestVerticalOffset() const { return smallestVerticalOffset_; }

  // The text of the status strip: "  Zoom: %4.2f   ".
  std::string ZoomText() const;

  // Maps a window point to the image pixel under it. The caller passes the window x minus the
  // horizontal margin and the window y plus the vertical margin. A point outside the image gives
  // (0, 0).
  ImagePoint WindowPointToPixel(int x, int y) const;

  // Moves the red 2 x 2 marker in the overview to `pixel` (as WindowPointToPixel returned it) and
  // restores the overview pixels the previous marker covered. True on every eleventh marking: the
  // whole overview should then be repainted.
  bool MarkOverview(ImagePoint pixel, OverviewPixels overview);

  // The drawing primitives, into the zoomed bitmap; see PointPlotter.
  void PlotPoints(Bgr colour, std::span<const ImagePoint> points) override;
  void DrawVLine(int column, int from, int to, Bgr colour) override;

  // The zoomed bitmap: ZoomedHeight() rows of ZoomedWidth() pixels of 4 bytes (0xFFRRGGBB). Rows
  // are numbered upward from the bottom like the image's; in memory the top row comes first
  // (ZoomedTop()), each ZoomedStride() bytes long.
  static constexpr std::size_t kZoomedPixelBytes = 4;
  bool HasZoomedBitmap() const { return zoomedValid_; }
  int ZoomedWidth() const { return zoomedWidth_; }
  int ZoomedHeight() const { return zoomedHeight_; }
  std::size_t ZoomedStride() const { return std::size_t(zoomedWidth_) * kZoomedPixelBytes; }
  const std::uint8_t* ZoomedTop() const {
    return zoomedValid_ ? reinterpret_cast<const std::uint8_t*>(zoomed_.get()) : nullptr;
  }
  const std::uint8_t* ZoomedRow(int row) const {
    return reinterpret_cast<const std::uint8_t*>(ZoomedWords(row));
  }
  // Where the last build wrote image pixels, and whether everything else is still black (nothing
  // was drawn outside): the window then paints the margins as black without reading them.
  const ZoomedBand& ZoomedImageBand() const { return band_; }
  bool ZoomedMarginsBlack() const { return zoomedValid_ && marginsBlack_; }
  // The colour of zoomed pixel x in row `row` (counted upward).
  Bgr ZoomedPixel(int x, int row) const {
    const std::uint32_t word = ZoomedWords(row)[x];
    return {std::uint8_t(word), std::uint8_t(word >> 8), std::uint8_t(word >> 16)};
  }

  // The text naming the highlighted structure (at most 255 bytes).
  const std::string& HighlightStatus() const { return highlightStatus_; }
  void SetHighlightStatus(std::string_view text);

  // Frees the source pixels and the zoomed bitmap.
  void Release();
  // Hands the source pixels and the zoomed bitmap over for the next image and releases them here.
  JpgBildBuffers TakeBuffers();

 private:
  void StartView();
  void ReuseZoomed(JpgBildBuffers& reuse);
  void CentreTop();
  bool Rebuild();
  void Magnify(int repeat, bool keepMargins);
  void Reduce(int step, bool keepMargins);
  const std::uint32_t* ZoomedWords(int row) const {
    return zoomed_.get() + std::size_t(zoomedHeight_ - 1 - row) * std::size_t(zoomedWidth_);
  }
  std::uint32_t* ZoomedRowForWrite(int row) {
    return zoomed_.get() + std::size_t(zoomedHeight_ - 1 - row) * std::size_t(zoomedWidth_);
  }
  // The zoomed row the magnifier and the reduction put a visible source row in.
  int ZoomedY(int row) const;
  // Where the plotter puts a visible source pixel (left and bottom of its block).
  ImagePoint PlotPosition(ImagePoint p) const;
  int BlockSize() const;

  MessageService& messages_;
  std::string path_;
  SourceImage source_;
  ClientSize client_;

  std::unique_ptr<std::uint32_t[]> zoomed_;
  std::size_t zoomedCapacity_ = 0;  // bytes
  bool zoomedValid_ = false;
  int zoomedWidth_ = 0;
  int zoomedHeight_ = 0;

  ImagePoint centre_;
  int horizontalMargin_ = 0;
  int verticalMargin_ = 0;
  int horizontalOffset_ = 0;
  int verticalOffset_ = 0;
  float zoom_ = 1.0f;
  int smallestVerticalOffset_ = 0;
  int smallestHorizontalOffset_ = 0;
  VisibleRect visible_;
  std::string highlightStatus_;
  ScrollBarState scrollBars_;
  ZoomedLayout CurrentLayout() const;
  ZoomedLayout built_;         // the layout the zoomed bitmap was last built for
  ZoomedBand band_;            // where that build wrote image pixels
  bool marginsBlack_ = false;  // everything outside band_ is black

  std::vector<ImagePoint> line_;  // DrawVLine's points, kept to spare an allocation per line

  struct Marker {
    const std::uint8_t* buffer = nullptr;  // the overview the marker was drawn into
    int columns = 0;
    int rows = 0;
    int x = 0;                         // top left corner, overview window coordinates
    int y = 0;                         // (y downward)
    std::uint8_t saved[2][2][3] = {};  // the covered pixels, [dy][dx]
  };
  Marker marker_;
  int markings_ = 0;
};

}  // namespace ostrelin
