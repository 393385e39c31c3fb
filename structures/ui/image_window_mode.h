#pragma once
// A way of working with the image window that takes over part of it while it is active: which
// clicks and keys reach the structures and what they do, what is painted over the image, what
// the strip says, whether the names under the pointer show and whether the context menu opens.
// A mode is installed once (ImageWindow::SetMode) and says itself when it is active; while it is
// not, or without a mode, the window is the plain image window.

#include <string>

#include "structures/core/object_list.h"

namespace ostrelin {

class ImageWindowMode {
 public:
  virtual ~ImageWindowMode() = default;

  // The mode has taken over the window now. The window asks the questions below only then.
  virtual bool Active() const = 0;
  // Left clicks, Tab stepping, Enter and Escape reach the structures (otherwise they do nothing).
  virtual bool TakesClicks() const = 0;
  // The names of the structures under the pointer show in the strip, in a copied picture's name
  // band, and the main window hears of a structure highlighted by Tab.
  virtual bool ShowsPointedNames() const = 0;
  // The context menu opens, and Ctrl+S and Ctrl+C save and copy the picture.
  virtual bool AllowsContextMenu() const = 0;

  // A left click (or Enter on the structure stepped to) on `hits`, which are never empty; a
  // single hit has been highlighted already. The window opens no overlap list.
  virtual void Click(const HitList& hits) = 0;

  // These come whether the mode is active or not.
  // A command of the window it does not know itself (from the mode's own dialogs); true when
  // the mode has handled it.
  virtual bool Command(int id) = 0;
  // Outlines of the mode's own, painted over the highlight.
  virtual void PaintOverlay(Objektliste& objects) = 0;
  // What a screen reader hears of the image while the mode is active, in place of the name of
  // the highlighted structure.
  virtual std::string Description() const = 0;
  // The strip's text while the pointer names nothing (what is left of a run that just ended,
  // until the mode clears it).
  virtual std::string StripText() const = 0;
  // A new image is about to replace the shown one (the load may still fail).
  virtual void ImageReplaced() = 0;
  // The new image and its structures are loaded.
  virtual void ImageLoaded() = 0;
  // The window is about to leave full view; false keeps it in full view.
  virtual bool LeaveFullView() = 0;
};

}  // namespace ostrelin
