#pragma once
// The bookmark menu ("&Lesezeichen"): up to fifteen entries that the user sets and deletes, saved
// in a text file per user in the save folder and restored at the next start. The entries exist
// only as items of the menu.
//
// Positions and commands: 0 "setzen" (1174), 1 "löschen" (1173), 2 separator, 3 to 17 the
// bookmarks in the order they were set (1175 to 1189 in position order; deleting one renumbers
// those after it).
//
// The file, save path + user name + ".BKM", holds one entry text per line, CR LF, Windows-1252, no
// header. Reading skips empty lines and lines starting with "/", keeps blanks (a trailing blank
// makes another bookmark), takes at most fifteen lines and ignores a line equal to one taken.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/message_service.h"
#include "shell/core/main_menu.h"
#include "shell/core/transfer_buffer.h"

namespace ostrelin {

class BookmarkMenu {
 public:
  static constexpr int kMaxBookmarks = 15;

  // `menu` is the bookmark menu of the main menu as it is at start-up.
  BookmarkMenu(Menu& menu, MessageService& messages);

  // Adds the entry for `name` shown in `type` unless it is there; a sixteenth is refused with
  // "Maximale Anzahl von Bookmarks erreicht !".
  void AddBookmark(ImageType type, std::string_view name);
  // Removes the entry for `name` shown in `type`, if there is one.
  void DeleteBookmark(ImageType type, std::string_view name);

  // The commands of the menu: "setzen" (1174) and "löschen" (1173) act on the last requested
  // name with the type shown now; a bookmark (1175 to 1189) puts its request into the buffer.
  // True when the caller must now send 9046.
  bool Command(int command, ImageType currentType, const std::string& lastRequestedName,
               TransferBuffer& buffer);

  // 1 + the number of bookmarks.
  int count() const { return count_; }
  std::vector<std::string> Bookmarks() const;

  // save path + user name + ".BKM", the file as the user's settings name it.
  static std::string FilePath(const std::string& savePath, const std::string& userName);

  // Adds the bookmarks of the user's file; a missing or unreadable file adds none, silently.
  void LoadBookmarks(const std::string& savePath, const std::string& userName);
  // Adds the bookmarks of a bookmark file's bytes.
  void AddFromFileBytes(std::string bytes);

  // Writes every bookmark into the user's file. When that fails, the old file stays as it was and
  // "Bookmark-Datei kann nicht gespeichert werden:" is shown with the file's path; false then.
  bool SaveBookmarks(const std::string& savePath, const std::string& userName);
  // The bytes SaveBookmarks writes.
  std::string FileBytes() const;

  // Called after every change of the menu's items.
  std::function<void()> onChanged;

 private:
  static constexpr size_t kFirstBookmarkPosition = 3;

  void Changed() {
    if (onChanged) onChanged();
  }
  std::vector<MenuItem>::iterator FindBookmark(std::string_view text);

  Menu& menu_;
  MessageService& messages_;
  int count_ = 1;
};

}  // namespace ostrelin
