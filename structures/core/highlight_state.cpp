#include "structures/core/highlight_state.h"

#include "structures/core/image_window_model.h"

namespace ostrelin {

void HighlightState::Set(const std::string& names, int displayMode) {
  showAll_ = false;
  lastName_ = names;
  text_ = names;
  displayMode_ = displayMode;
  active_ = true;
}

void HighlightState::Clear(bool forget) {
  text_.clear();
  if (forget) lastName_.clear();
  showAll_ = false;
  active_ = false;
}

void HighlightState::ShowAll() {
  showAll_ = true;
  displayMode_ = kDrawOutline;
}

std::string HighlightState::StepFrom() const { return active_ ? MainName(text_) : std::string(); }

std::vector<std::string> HighlightState::Names(const Objektliste& objects) const {
  if (showAll_) return MarkableNames(objects);
  if (active_) return SplitNames(text_);
  return {};
}

std::vector<std::string> HighlightState::Draw(
    const Objektliste& objects, const std::function<bool(const std::string&)>& draw) const {
  std::vector<std::string> drawn;
  for (const std::string& name : Names(objects)) {
    if (!name.empty() && draw(name)) drawn.push_back(name);
  }
  return drawn;
}

void HighlightState::Painted(const std::vector<std::string>& drawn) {
  paintedCount_ = int(drawn.size());
  lastPainted_ = drawn.empty() ? std::string() : drawn.back();
}

}  // namespace ostrelin
