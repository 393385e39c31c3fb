#pragma once
// Fixed names and messages of the request processing, the history and the bookmarks. All are
// ASCII, so Windows-1252 and UTF-8 spell them alike.

namespace ostrelin {

inline constexpr const char* kStartPage = "START";              // the page opened at start-up
inline constexpr const char* kNoObjectText = "_KEINOBJ.TXT";    // "this name is unknown"
inline constexpr const char* kFirstImagePath = "xyz";           // matches no image path
inline constexpr const char* kBookmarkFileSuffix = ".BKM";
inline constexpr const char* kTooManyBookmarks = "Maximale Anzahl von Bookmarks erreicht !";
inline constexpr const char* kCannotSaveBookmarks = "Bookmark-Datei kann nicht gespeichert werden:";

}  // namespace ostrelin
