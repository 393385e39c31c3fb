#pragma once
// Command identifiers of the main window: what the menus, the buttons and the child windows send
// it. No command carries a payload; a name travels in the transfer buffer (transfer_buffer.h).

namespace ostrelin::cmd {

// Navigation requests: each stops media, then processes the name in the transfer buffer.
inline constexpr int kOpenPlane = 9034;        // navigation panel: open the selected plane
inline constexpr int kPageLink = 1274;         // text panel: page link; the help commands
inline constexpr int kGoToPlace = 1276;        // image window: go-to entries, found-on list; self
inline constexpr int kHistoryRequest = 9045;   // history menu (no history entry at the lookup)
inline constexpr int kBookmarkRequest = 9046;  // bookmark menu
inline constexpr int kSearchOpen = 9054;       // search window: open the chosen name

// Image-type buttons (also sent by the request processing to itself).
inline constexpr int kShowSchnitt = 9025;
inline constexpr int kShowCT = 9026;
inline constexpr int kShowMR = 9027;
inline constexpr int kShowSchema = 9028;

inline constexpr int kAnnouncePage = 9059;          // a plane or an index entry was selected
inline constexpr int kStructureHighlighted = 9060;  // image window: the highlight changed
inline constexpr int kStructureLink = 1275;         // text panel: structure link

inline constexpr int kTogglePanel = 9024;  // Bild/Index button, right clicks
inline constexpr int kHelpButton = 9029;
inline constexpr int kContextHelp = 1305;  // image window's context menu "Hilfe"

// Main menu.
inline constexpr int kLearn = 1124;
inline constexpr int kQuizNameToStructure = 1125;
inline constexpr int kQuizStructureToName = 1126;
inline constexpr int kQuizAlternating = 1127;
inline constexpr int kQuizSeries = 1128;    // "Ganze Serie": every plane of the pictogram
inline constexpr int kLearningState = 1129; // "Lernstand..."
inline constexpr int kEnd = 1130;
inline constexpr int kTextVisible = 1134;
inline constexpr int kTextInvisible = 1135;
inline constexpr int kFontSmall = 1144;
inline constexpr int kFontMedium = 1145;
inline constexpr int kFontLarge = 1146;
inline constexpr int kHistoryStart = 1149;       // "(G) Start", the fixed first history entry
inline constexpr int kFirstHistoryEntry = 1150;  // appended entries, in menu order
inline constexpr int kLastHistoryEntry = 1164;
inline constexpr int kDeleteBookmark = 1173;  // "löschen"
inline constexpr int kSetBookmark = 1174;     // "setzen"
inline constexpr int kFirstBookmark = 1175;   // bookmarks, in menu order
inline constexpr int kLastBookmark = 1189;
inline constexpr int kHelpIndex = 1304;  // also F1
inline constexpr int kAbout = 1307;

}  // namespace ostrelin::cmd
