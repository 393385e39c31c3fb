#pragma once
// Fixed names and messages of the request processing, the history, the bookmarks and the help
// commands, in Windows-1252.

namespace ostrelin {

inline constexpr const char* kStartPage = "START";            // the page opened at start-up
inline constexpr const char* kNoObjectText = "_KEINOBJ.TXT";  // "this name is unknown"
inline constexpr const char* kFirstImagePath = "xyz";         // matches no image path
inline constexpr const char* kBookmarkFileSuffix = ".BKM";
inline constexpr const char* kTooManyBookmarks = "Maximale Anzahl von Bookmarks erreicht !";
inline constexpr const char* kCannotSaveBookmarks = "Bookmark-Datei kann nicht gespeichert werden:";
// The help pages, ordinary pages of Index.LST (Windows-1252: 0xDC is 'Ü', 0xFC 'ü').
inline constexpr const char* kHelpOverviewPage =
    "Hilfe-\xDC"
    "bersicht";
inline constexpr const char* kContextHelpPage = "Hilfe-Kontextmen\xFC";

}  // namespace ostrelin
