#pragma once
// The decisions of the image window, kept apart from its widgets: the zoom bar's positions, the
// panning steps, the names of a highlight, the entries of the context menu, where the small list
// windows open, and the overview's reduced copy of the image. The window translates events into
// these calls and paints what they say.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "image/core/source_image.h"
#include "platform/core/rect.h"
#include "structures/core/object_list.h"

namespace ostrelin {

// Command identifiers of the image window and of the windows it owns.
namespace image_cmd {
inline constexpr int kToggleOverview = 6025;  // "Übersicht" check box
inline constexpr int kToggleFullView = 6026;  // "Vollansicht" check box
inline constexpr int kZoomBar = 6027;
inline constexpr int kOverlapList = 6028;
inline constexpr int kCloseOverview = 6029;    // overview's close box
inline constexpr int kOverlapChoice = 1276;    // a name chosen in the overlap list
inline constexpr int kGoToHighlighted = 1284;  // context menu, first entry
inline constexpr int kFullView = 1285;
inline constexpr int kNormalView = 1286;  // also "Test beenden" of a mode's dialog
inline constexpr int kHelp = 1287;
inline constexpr int kFirstRelated = 1288;  // related names, at most nine
inline constexpr int kLastRelated = 1296;
inline constexpr int kListMarkable = 1297;
inline constexpr int kShowMarkable = 1298;
inline constexpr int kSavePicture = 1299;  // "Bild speichern...", Ctrl+S
inline constexpr int kCopyPicture = 1300;  // "Bild kopieren", Ctrl+C
inline constexpr int kMarkableList = 9056;
inline constexpr int kFoundOnList = 9057;
}  // namespace image_cmd

// ---------------------------------------------------------------------------------------------
// Zoom bar: positions 4 to 10 stand for 1/3, 1/2, 1, 2, 3, 4, 5.

inline constexpr int kFirstZoomPosition = 4;
inline constexpr int kLastZoomPosition = 10;
inline constexpr int kInitialZoomPosition = 6;

float ZoomOfPosition(int position);
// The position a zoom factor shows: below 0.5 gives 4, below 1 gives 5, else trunc(zoom) + 5
// (at most 10).
int PositionOfZoom(float zoom);

enum class ScrollAction { LineBack, LineForward, PageBack, PageForward, Thumb, Other };

// Where the zoom bar goes from `position`: a line moves by one, a page by three (or straight to
// the end when that would pass it), the thumb to `thumb`; always within 4..10.
int ZoomBarStep(int position, ScrollAction action, int thumb);

// A pan offset after a scroll action: 20 pixels per line, 50 per page, the thumb at p gives -p;
// never below `smallest` and never above 0.
int PanOffset(int offset, ScrollAction action, int thumb, int smallest);

// ---------------------------------------------------------------------------------------------
// Names

// The '&'-separated parts of a highlight, each trimmed of blanks and tabs (empty parts kept).
std::vector<std::string> SplitNames(std::string_view names);
// The part before the first '&', trimmed.
std::string MainName(std::string_view names);

// Every non-empty structure name of the list, in list order.
std::vector<std::string> MarkableNames(const Objektliste& list);
// True when the list holds a structure worth marking: more than one entry, or one with a name.
bool HasMarkableStructures(const Objektliste& list);

// Windows-1252 letters folded to lower case: A..Z and the accented capitals (but the sign x).
unsigned char FoldCp1252(char c);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Texts in the order of a sorted list box: ignoring letter case (ASCII and umlauts folded), then
// bytewise, so the order is the same on every run.
void SortForListBox(std::vector<std::string>& texts);

// ---------------------------------------------------------------------------------------------
// Context menu

struct ContextMenuEntry {
  int command = 0;  // 0: a separator
  std::string text;
  friend bool operator==(const ContextMenuEntry&, const ContextMenuEntry&) = default;
};

struct ContextMenuState {
  int paintedCount = 0;         // structures painted at the last paint
  std::string highlightStatus;  // the image's highlight status
  bool normalView = true;
  bool markableStructures = false;  // an image with structures worth marking is loaded
  std::string relatedNames;         // '&'-separated, as the cross-reference list gave them
  bool imageLoaded = false;         // the picture can be saved and copied
};

std::vector<ContextMenuEntry> BuildContextMenu(const ContextMenuState& state);

// The related name that entry `command` (1288 + k) hands over: the (k + 1)-th part; empty when
// there is none.
std::string RelatedNameOf(std::string_view relatedNames, int command);

// ---------------------------------------------------------------------------------------------
// Placement (ImageWindow client coordinates, y downward)

// The overlap list, 250 x 100, with its top left corner at the click, moved left and up when it
// would not fit: left at most client width - 260, top at most client height - 110.
Rect OverlapListRect(int clickX, int clickY, int clientWidth, int clientHeight);

// The markable-structures list kept inside the window: shifted left (not beyond x = 10) and up
// (not beyond y = 30) when it reaches past the client area, then cut at the client edge.
Rect KeepMarkableListInside(Rect rect, int clientWidth, int clientHeight);
inline constexpr Rect kFirstMarkableListRect{10, 30, 150, 200};
inline constexpr Rect kFoundOnListRect{100, 150, 350, 200};

// ---------------------------------------------------------------------------------------------
// Overview

// The quarter-size copy of an image: `rows` = height / 4, `columns` = (width / 4) rounded down to
// a multiple of 4; pixel (c, r) is source pixel (4c, 4r), rows bottom-up, blue-green-red.
struct OverviewCopy {
  int columns = 0;
  int rows = 0;
  std::vector<std::uint8_t> bgr;
};
OverviewCopy ReduceForOverview(const SourceImage& source);

// The image pixel a click at (x, y) in the overview stands for: column 4x, row 4 (rows - y).
struct OverviewCentre {
  int column = 0;
  int row = 0;
};
inline OverviewCentre OverviewClickCentre(int x, int y, int rows) {
  return {4 * x, 4 * (rows - y)};
}

}  // namespace ostrelin
