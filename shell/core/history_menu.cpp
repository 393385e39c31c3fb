#include "shell/core/history_menu.h"

#include "shell/core/commands.h"
#include "shell/core/menu_entry.h"

namespace ostrelin {

HistoryMenu::HistoryMenu(Menu& menu) : menu_(menu) {}

void HistoryMenu::AddHistory(ImageType type, const std::string& name) {
  std::string text = EntryText(type, name);
  std::vector<MenuItem>& items = menu_.items;

  if (count_ == 0) {
    count_ = 1;
    items[0].enabled = true;
    Changed();
    return;
  }

  // The newest entry; the separator (no text) while there is none.
  if (items[size_t(count_)].text == text) return;

  if (count_ == kMaxEntries + 1) {
    items.erase(items.begin() + kFirstEntryPosition);
    for (size_t position = kFirstEntryPosition; position < items.size(); ++position) {
      items[position].id =
          CommandId(Command::kFirstHistoryEntry) + int(position - kFirstEntryPosition);
    }
    items.push_back(MenuItem::Entry(CommandId(Command::kLastHistoryEntry), std::move(text)));
  } else {
    items.push_back(MenuItem::Entry(CommandId(Command::kHistoryStart) + count_, std::move(text)));
    ++count_;
  }
  items[size_t(count_)].enabled = true;
  Changed();
}

bool HistoryMenu::Choose(int command, TransferBuffer& buffer) const {
  if (command < CommandId(Command::kHistoryStart) ||
      command > CommandId(Command::kLastHistoryEntry)) {
    return false;
  }
  const MenuItem* item = menu_.Find(command);
  if (!item) return false;
  return TakeEntryRequest(item->text, buffer);
}

}  // namespace ostrelin
