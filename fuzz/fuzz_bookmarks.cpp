// A bookmark file from arbitrary bytes: what it yields must obey the menu's limits, survive being
// written and read back unchanged, and every bookmark must be choosable.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/core/scripted_message_service.h"
#include "shell/core/bookmark_menu.h"
#include "shell/core/commands.h"
#include "shell/core/main_menu.h"

using ostrelin::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  ScriptedMessageService messages;
  MainMenu model;
  BookmarkMenu bookmarks(model.bookmarks(), messages);
  bookmarks.AddFromFileBytes(std::string(reinterpret_cast<const char*>(data), size));

  const std::vector<std::string> loaded = bookmarks.Bookmarks();
  Check(loaded.size() <= size_t(BookmarkMenu::kMaxBookmarks));
  Check(bookmarks.count() == int(loaded.size()) + 1);
  Check(messages.shown.empty());
  for (size_t i = 0; i < loaded.size(); ++i) {
    Check(!loaded[i].empty() && loaded[i].front() != '/');
    Check(model.bookmarks().items[3 + i].id == cmd::kFirstBookmark + int(i));
    TransferBuffer buffer;
    Check(bookmarks.Command(cmd::kFirstBookmark + int(i), kNoImageType, "", buffer));
    Check(buffer.busy && buffer.name.size() < TransferBuffer::kTextBuffer);
  }

  MainMenu again;
  BookmarkMenu reread(again.bookmarks(), messages);
  reread.AddFromFileBytes(bookmarks.FileBytes());
  Check(reread.Bookmarks() == loaded);

  if (!loaded.empty()) {
    bookmarks.DeleteBookmark(kNoImageType, loaded.front());
    Check(bookmarks.count() == int(loaded.size()));
  }
  return 0;
}
