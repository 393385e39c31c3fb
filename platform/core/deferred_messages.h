#pragma once
// A MessageService for work done ahead or on another thread: it keeps every message and beep in
// order, answers as the user of an Ok box would, and shows them later through the real service,
// once it is known that they belong to what the user asked for.
//
// Only for work whose messages all have one button: a Yes/No question gets No, the answer that
// changes nothing, and its real answer would come too late to matter.

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/message_service.h"

namespace ostrelin {

class DeferredMessages final : public MessageService {
 public:
  MessageAnswer Show(std::string_view text, MessageButtons buttons, MessageIcon icon,
                     std::string_view caption = {}) override {
    kept_.push_back({false, std::string(text), buttons, icon, std::string(caption)});
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
  }
  void Beep(MessageIcon icon) override {
    kept_.push_back({true, {}, MessageButtons::Ok, icon, {}});
  }

  bool Empty() const { return kept_.empty(); }

  // Shows what was kept, in order, and forgets it.
  void ShowThrough(MessageService& messages) {
    std::vector<Kept> kept = std::move(kept_);
    kept_.clear();
    for (const Kept& k : kept) {
      if (k.beep) {
        messages.Beep(k.icon);
      } else {
        messages.Show(k.text, k.buttons, k.icon, k.caption);
      }
    }
  }

 private:
  struct Kept {
    bool beep;
    std::string text;
    MessageButtons buttons;
    MessageIcon icon;
    std::string caption;
  };
  std::vector<Kept> kept_;
};

}  // namespace ostrelin
