#pragma once
// What the request processing asks of the windows around it. The main window's children implement
// these: the image window, the text panel, the navigation panel, the search window and the four
// image-type buttons; the history menu implements PageHistory. Tests implement them with recorders.
//
// Every call is synchronous. A window may send the main window a command from inside a call (the
// search window announcing its selection, say); it does so only through the transfer buffer, whose
// `busy` flag keeps such a request out while another is being handled.

#include <string>
#include <vector>

#include "catalogue/core/image_type.h"

namespace ostrelin {

class ImageView {
 public:
  virtual ~ImageView() = default;

  // Closes the markable-structures list and the found-on list.
  virtual void CloseLists() = 0;
  virtual void LeaveFullView() = 0;
  // Loads the image at `path` (relative to the data path) and its outline file; a missing file is
  // reported by the window itself. Returns whether the image could be loaded.
  virtual bool LoadImage(const std::string& path, bool allowReduction) = 0;
  // The image a request is about to load (relative to the data path): the window may begin
  // decoding it while the request goes on with the page's text and panels. An empty path: the
  // request loads nothing more, and what was begun and not loaded is dropped.
  virtual void ExpectImage(const std::string& /*path*/) {}
  // Highlights the structure `name` ('&' separates several). Display mode 0 draws outlines, 1
  // filled regions.
  virtual void Highlight(const std::string& name, int displayMode, bool centre,
                         bool closeMarkableList) = 0;
  // Highlights the name highlighted last again, centred.
  virtual void Rehighlight(int displayMode) = 0;
  // Ends the highlight; with `forget` the last highlighted name is forgotten too.
  virtual void ClearHighlight(bool forget) = 0;
  // Offers the places (tagged page names such as "Herz (CT)") where a structure is outlined.
  virtual void ShowFoundOnList(const std::vector<std::string>& taggedPages) = 0;
  // The page whose image of `imageType` is shown (for the file name offered when the picture is
  // saved and for screen readers).
  virtual void ShowsPage(const std::string& /*pageName*/, int /*imageType*/) {}
};

class TextView {
 public:
  virtual ~TextView() = default;

  // Shows the hypertext `textName` (an empty name shows the current text again), for image type
  // `type`; nothing is shown while `visible` is false.
  virtual void ShowText(const std::string& textName, bool visible, ImageType type) = 0;
  // Like ShowText, with `name` appended to the text's first line: the way the atlas says that a
  // requested name is unknown.
  virtual void ShowTextWithName(const std::string& textName, bool visible, const std::string& name,
                                ImageType type) = 0;
};

class NavigationView {
 public:
  virtual ~NavigationView() = default;

  // Follows a page opened in another way than through the panel: the page's pictogram, with its
  // plane selected.
  virtual void SelectFromPage(Sex sex, BodyRegion region, const std::string& planeName) = 0;
  // The selected plane is now the shown one; `clear` when the shown image has no plane to mark.
  virtual void MarkShown(bool clear) = 0;
};

class SearchView {
 public:
  virtual ~SearchView() = default;

  // Selects the first index entry that begins with `name`, ignoring case.
  virtual void SelectName(const std::string& name) = 0;
};

class ImageTypeButtons {
 public:
  virtual ~ImageTypeButtons() = default;

  virtual void SetEnabled(ImageType type, bool enabled) = 0;
  virtual bool IsEnabled(ImageType type) const = 0;
};

class PageHistory {
 public:
  virtual ~PageHistory() = default;

  // Records that the page `name` was shown in image type `type` (-1: none).
  virtual void AddHistory(ImageType type, const std::string& name) = 0;
};

}  // namespace ostrelin
