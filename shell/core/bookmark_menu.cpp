#include "shell/core/bookmark_menu.h"

#include <algorithm>

#include "platform/core/paths.h"
#include "platform/core/text_file.h"
#include "shell/core/commands.h"
#include "platform/core/file_replace.h"
#include "shell/core/menu_entry.h"
#include "resources/core/ui_texts.h"

namespace ostrelin {
namespace {

// The menu numbers of the bookmark entries.
constexpr int kFirstEntry = CommandId(Command::kFirstBookmark);
constexpr int kLastEntry = CommandId(Command::kLastBookmark);

}  // namespace

BookmarkMenu::BookmarkMenu(Menu& menu, MessageService& messages)
    : menu_(menu), messages_(messages) {}

std::vector<MenuItem>::iterator BookmarkMenu::FindBookmark(std::string_view text) {
  std::vector<MenuItem>& items = menu_.items;
  return std::find_if(items.begin() + kFirstBookmarkPosition, items.end(),
                      [text](const MenuItem& item) { return item.text == text; });
}

void BookmarkMenu::AddBookmark(ImageType type, std::string_view name) {
  std::string text = EntryText(type, name);
  if (FindBookmark(text) != menu_.items.end()) return;
  if (count_ > kMaxBookmarks) {
    messages_.Show(kTooManyBookmarks, MessageButtons::Ok, MessageIcon::Information);
    return;
  }
  menu_.items.push_back(
      MenuItem::Entry(CommandId(Command::kSetBookmark) + count_, std::move(text)));
  ++count_;
  Changed();
}

void BookmarkMenu::DeleteBookmark(ImageType type, std::string_view name) {
  const auto found = FindBookmark(EntryText(type, name));
  if (found == menu_.items.end()) return;
  // The ones after it move up and take the commands one lower: they stay 1175, 1176, … in order.
  for (auto later = found + 1; later != menu_.items.end(); ++later) --later->id;
  menu_.items.erase(found);
  --count_;
  Changed();
}

bool BookmarkMenu::Command(int command, ImageType currentType, const std::string& lastRequestedName,
                           TransferBuffer& buffer) {
  if (command == CommandId(Command::kSetBookmark)) {
    if (!lastRequestedName.empty()) AddBookmark(currentType, lastRequestedName);
    return false;
  }
  if (command == CommandId(Command::kDeleteBookmark)) {
    if (!lastRequestedName.empty()) DeleteBookmark(currentType, lastRequestedName);
    return false;
  }
  if (command < kFirstEntry || command > kLastEntry) return false;
  const MenuItem* item = menu_.Find(command);
  if (!item) return false;
  return TakeEntryRequest(item->text, buffer);
}

std::vector<std::string> BookmarkMenu::Bookmarks() const {
  std::vector<std::string> texts;
  for (size_t position = kFirstBookmarkPosition; position < menu_.items.size(); ++position) {
    texts.push_back(menu_.items[position].text);
  }
  return texts;
}

std::string BookmarkMenu::FilePath(const std::string& savePath, const std::string& userName) {
  return savePath + userName + kBookmarkFileSuffix;
}

void BookmarkMenu::LoadBookmarks(const std::string& savePath, const std::string& userName) {
  std::optional<std::string> bytes = ReadFileBytes(ResolvePath(FilePath(savePath, userName)));
  if (bytes) AddFromFileBytes(std::move(*bytes));
}

void BookmarkMenu::AddFromFileBytes(std::string bytes) {
  TextReader reader(std::move(bytes));
  std::string line;
  int taken = 0;
  while (taken < kMaxBookmarks && reader.ReadLine(line)) {
    if (line.empty() || line.front() == '/') continue;
    ++taken;  // a line equal to one already there is taken all the same, but not added twice
    AddBookmark(kNoImageType, line);  // the line carries its own tag
  }
}

std::string BookmarkMenu::FileBytes() const {
  std::string bytes;
  // In command order, which is menu order: 1175, 1176, … up to the first that has no item.
  for (int id = kFirstEntry; id <= kLastEntry; ++id) {
    const MenuItem* item = menu_.Find(id);
    if (!item) break;
    bytes += item->text;
    bytes += "\r\n";
  }
  return bytes;
}

bool BookmarkMenu::SaveBookmarks(const std::string& savePath, const std::string& userName) {
  const std::string path = FilePath(savePath, userName);
  if (ReplaceFileContents(ResolvePath(path), FileBytes())) return true;
  messages_.Show(std::string(kCannotSaveBookmarks) + "\n" + path, MessageButtons::Ok,
                 MessageIcon::Exclamation);
  return false;
}

}  // namespace ostrelin
