#pragma once
// The history menu: the pages whose image was shown, oldest first, after the fixed first entry
// "(G) Start" and a separator. It holds at most fifteen such entries, dropping the oldest, and
// never records the same entry twice in a row. The entries exist only as items of the menu.
//
// Positions and commands: 0 "(G) Start" (1149), 1 separator, 2 to 16 the entries (1150 to 1164
// in position order, renumbered when the oldest is dropped).

#include <functional>
#include <string>

#include "shell/core/main_menu.h"
#include "shell/core/transfer_buffer.h"
#include "shell/core/views.h"

namespace ostrelin {

class HistoryMenu : public PageHistory {
 public:
  static constexpr int kMaxEntries = 15;

  // `menu` is the history menu of the main menu as it is at start-up.
  explicit HistoryMenu(Menu& menu);

  // The first call of a run only enables "(G) Start"; the start page is that entry already.
  void AddHistory(ImageType type, const std::string& name) override;

  // Choosing the entry that sends `command` (1149 to 1164): puts its request into the buffer.
  // True when the caller must now send 9045; false when there is no such entry or the buffer is
  // busy.
  bool Choose(int command, TransferBuffer& buffer) const;

  // 0 before the first addition, then 1 + the number of appended entries.
  int count() const { return count_; }

  // Called after every change of the menu's items.
  std::function<void()> onChanged;

 private:
  static constexpr size_t kFirstEntryPosition = 2;

  void Changed() {
    if (onChanged) onChanged();
  }

  Menu& menu_;
  int count_ = 0;
};

}  // namespace ostrelin
