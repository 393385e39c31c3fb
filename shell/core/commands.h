#pragma once
// Command identifiers of the main window: what the menus, the buttons and the child windows send
// it. No command carries a payload; a name travels in the transfer buffer (transfer_buffer.h).
// The numbers are those of the atlas's menus and windows and never change.

namespace ostrelin {

enum class Command : int {
  kNone = 0,  // the start-up's own request, which no window sent

  // Navigation requests: each stops media, then processes the name in the transfer buffer.
  kOpenPlane = 9034,        // navigation panel: open the selected plane
  kPageLink = 1274,         // text panel: page link; the help commands
  kGoToPlace = 1276,        // image window: go-to entries, found-on list; self
  kHistoryRequest = 9045,   // history menu (no history entry at the lookup)
  kBookmarkRequest = 9046,  // bookmark menu
  kSearchOpen = 9054,       // search window: open the chosen name

  // Image-type buttons (also sent by the request processing to itself).
  kShowSchnitt = 9025,
  kShowCT = 9026,
  kShowMR = 9027,
  kShowSchema = 9028,

  kAnnouncePage = 9059,          // a plane or an index entry was selected
  kStructureHighlighted = 9060,  // image window: the highlight changed
  kStructureLink = 1275,         // text panel: structure link

  kTogglePanel = 9024,  // Bild/Index button, right clicks
  kHelpButton = 9029,
  kContextHelp = 1305,  // image window's context menu "Hilfe"

  // Main menu.
  kLearn = 1124,
  kQuizNameToStructure = 1125,
  kQuizStructureToName = 1126,
  kQuizAlternating = 1127,
  kQuizSeries = 1128,     // "Ganze Serie": every plane of the pictogram
  kLearningState = 1129,  // "Lernstand..."
  kEnd = 1130,
  kTextVisible = 1134,
  kTextInvisible = 1135,
  kFontSmall = 1144,
  kFontMedium = 1145,
  kFontLarge = 1146,
  kHistoryStart = 1149,       // "(G) Start", the fixed first history entry
  kFirstHistoryEntry = 1150,  // appended entries, in menu order
  kLastHistoryEntry = 1164,
  kDeleteBookmark = 1173,  // "löschen"
  kSetBookmark = 1174,     // "setzen"
  kFirstBookmark = 1175,   // bookmarks, in menu order
  kLastBookmark = 1189,
  kHelpIndex = 1304,  // also F1
  kAbout = 1307,
};

// The number a menu entry or a picture button carries, and back. Menu numbers between the named
// ones (the history and bookmark entries) are commands too.
constexpr int CommandId(Command command) { return static_cast<int>(command); }
constexpr Command AsCommand(int id) { return static_cast<Command>(id); }

}  // namespace ostrelin
