#pragma once
// What the image window highlights: one structure, several ('&'-joined, the first the main one),
// every markable structure ("Zeige alle markierbaren Strukturen") or nothing; the name highlighted
// last, which the window comes back to after zooming and panning; and what the last paint drew,
// which the context menu looks up related names for.

#include <functional>
#include <string>
#include <vector>

#include "structures/core/object_list.h"

namespace ostrelin {

class HighlightState {
 public:
  // Highlights `names` drawn in `displayMode` (show-all ends); they are the name to come back to.
  void Set(const std::string& names, int displayMode);
  // Nothing highlighted (show-all ends); `forget` also forgets the name to come back to.
  void Clear(bool forget);
  // Every markable structure, outlined.
  void ShowAll();
  void EndShowAll() { showAll_ = false; }

  bool Active() const { return active_; }
  bool ShowsAll() const { return showAll_; }
  const std::string& Text() const { return text_; }
  const std::string& LastName() const { return lastName_; }
  int DisplayMode() const { return displayMode_; }
  // The structure Tab steps on from: the main name of the highlight, "" without one.
  std::string StepFrom() const;

  // The names to paint: every markable one of `objects` in show-all mode, else the '&'-parts of
  // the highlight, none when nothing is highlighted.
  std::vector<std::string> Names(const Objektliste& objects) const;
  // Draws each non-empty name with `draw` (true when it was drawn); the names drawn.
  std::vector<std::string> Draw(const Objektliste& objects,
                                const std::function<bool(const std::string&)>& draw) const;
  // Keeps what a paint of the window drew.
  void Painted(const std::vector<std::string>& drawn);
  int PaintedCount() const { return paintedCount_; }
  // The one name painted last, when exactly one was.
  const std::string& LastPainted() const { return lastPainted_; }

 private:
  bool active_ = false;
  bool showAll_ = false;
  std::string text_;
  std::string lastName_;
  int displayMode_ = kDrawOutline;
  int paintedCount_ = 0;
  std::string lastPainted_;
};

}  // namespace ostrelin
