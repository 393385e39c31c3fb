// A bookmark file from arbitrary bytes: what it yields must obey the menu's limits, survive being
// written and read back unchanged, and every bookmark must be choosable. The user's file read from
// the save folder gives the same menu; saving writes the file's bytes, and a save that cannot be
// written says so. The menu's commands set and delete, and a sixteenth bookmark is refused.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string>

#include "fuzz/allocation_failure.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/memory_file.h"
#include "platform/core/text_file.h"
#include "platform/core/scripted_message_service.h"
#include "shell/core/bookmark_menu.h"
#include "shell/core/commands.h"
#include "shell/core/main_menu.h"
#include "shell/core/menu_entry.h"

using ostrelin::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  ScriptedMessageService messages;
  MainMenu model;
  BookmarkMenu bookmarks(model.bookmarks(), messages);
  const std::string input(reinterpret_cast<const char*>(data), size);
  bookmarks.AddFromFileBytes(input);

  const std::vector<std::string> loaded = bookmarks.Bookmarks();
  Check(loaded.size() <= size_t(BookmarkMenu::kMaxBookmarks));
  Check(bookmarks.count() == int(loaded.size()) + 1);
  Check(messages.shown.empty());
  for (size_t i = 0; i < loaded.size(); ++i) {
    Check(!loaded[i].empty() && loaded[i].front() != '/');
    Check(model.bookmarks().items[3 + i].id == CommandId(Command::kFirstBookmark) + int(i));
    TransferBuffer buffer;
    Check(bookmarks.Command(CommandId(Command::kFirstBookmark) + int(i), kNoImageType, "", buffer));
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
  // Set and delete through the menu, with the input's first line as the requested name; then
  // bookmarks up to the limit and one more.
  TransferBuffer buffer;
  const std::string name = input.substr(0, std::min(input.find_first_of("\r\n"), size_t(60)));
  const std::string entry = EntryText(kSchnitt, name);
  const auto listed = [&] {
    const std::vector<std::string> now = bookmarks.Bookmarks();
    return std::find(now.begin(), now.end(), entry) != now.end();
  };
  Check(!bookmarks.Command(CommandId(Command::kSetBookmark), kSchnitt, name, buffer));
  Check(name.empty() || listed());
  Check(!bookmarks.Command(CommandId(Command::kDeleteBookmark), kSchnitt, name, buffer));
  Check(name.empty() || !listed());
  for (int i = 0; i <= BookmarkMenu::kMaxBookmarks; ++i) {
    bookmarks.AddBookmark(kCT, "Seite " + std::to_string(i));
  }
  Check(bookmarks.count() == BookmarkMenu::kMaxBookmarks + 1 && !messages.shown.empty());

  // In one run of eight an allocation while reading fails: the bookmarks taken up to there must
  // still match the menu's items. The run and the allocation are chosen by a hash of the input.
  const uint32_t hash = fuzz::InputHash(input);
  if (hash % 8 == 0) {
    MainMenu failing;
    BookmarkMenu partial(failing.bookmarks(), messages);
    try {
      const fuzz::FailingAllocation failure(long(hash / 8 % 64));
      partial.AddFromFileBytes(input);
    } catch (const std::bad_alloc&) {
    }
    const std::vector<std::string> taken = partial.Bookmarks();
    Check(partial.count() == int(taken.size()) + 1);
    for (size_t i = 0; i < taken.size(); ++i) {
      Check(failing.bookmarks().items[3 + i].id == CommandId(Command::kFirstBookmark) + int(i));
    }
  }
  // The files are made in one run of 16 (chosen by a hash of the input): writing and resolving
  // paths costs far more than reading.
  if (hash % 16 != 1) return 0;
  const std::string& folder = fuzz::ScratchDirectory();
  fuzz::ScratchFile("fuzz" + std::string(BookmarkMenu::FilePath("", "")), input);
  ScriptedMessageService told;
  MainMenu fromFile;
  BookmarkMenu stored(fromFile.bookmarks(), told);
  stored.LoadBookmarks(folder, "fuzz");
  Check(stored.Bookmarks() == loaded);
  Check(stored.SaveBookmarks(folder, "fuzz") && told.shown.empty());
  Check(ReadFileBytes(BookmarkMenu::FilePath(folder, "fuzz")) == reread.FileBytes());
  Check(!stored.SaveBookmarks(folder + "no folder/", "fuzz") && told.shown.size() == 1);
  return 0;
}
