#pragma once
// The centre of the atlas's behaviour: how a requested name becomes a shown page.
//
// A window puts a name into the transfer buffer and sends the main window a command; the main
// window hands the command to this processor. The name may be a page, a structure (shown on the
// page where it is outlined, or offered as a choice of pages) or a page name with an image-type
// suffix. The processor makes the page current, enables the image-type buttons the page has
// images for, shows the image of the best available type and the page's text, and keeps the
// navigation panel, the search window and the history in step. A page name with an image-type
// suffix is split here, whoever sent it.
//
// Commands the processor sends to the main window itself (the image-type command of a request,
// 1276 for a structure outlined in one place) it handles directly, before the sending step goes on,
// as a synchronous window message would be.

#include <functional>
#include <optional>
#include <string>

#include "catalogue/core/catalogue.h"
#include "platform/core/wait_cursor.h"
#include "shell/core/commands.h"
#include "shell/core/media.h"
#include "shell/core/transfer_buffer.h"
#include "shell/core/views.h"

namespace ostrelin {

struct RequestViews {
  ImageView* image = nullptr;
  TextView* text = nullptr;
  NavigationView* navigation = nullptr;
  SearchView* search = nullptr;
  ImageTypeButtons* buttons = nullptr;
  PageHistory* history = nullptr;
};

struct RequestServices {
  WaitCursor* waitCursor = nullptr;       // required
  std::function<void(bool)> waitMessage;  // "Bitte warten..." on and off; may be empty
  Media* media = nullptr;                 // may be null: nothing plays, nothing to stop
};

class RequestProcessor {
 public:
  static constexpr size_t kNameBuffer = 512;  // `lastRequestedName` keeps 511 bytes

  // Every view must be set.
  RequestProcessor(const Catalogue& catalogue, const RequestViews& views,
                   const RequestServices& services);

  // Replaces the windows the processor talks to (every view must be set).
  void SetViews(const RequestViews& views);

  TransferBuffer& buffer() { return buffer_; }
  const TransferBuffer& buffer() const { return buffer_; }

  // Handles a command of the request processing: 9034, 1274, 1276, 9045, 9046, 9054 (stop media,
  // ProcessRequest), 9025 to 9028 (ShowImageOfType), 9059 (AnnouncePage), 9060
  // (SelectInSearchWindow) and 1275 (ChangeStructure). False for any other command.
  bool Handle(Command command);

  // The start-up's request for the page "START": the buffer becomes busy with that name, without
  // a structure or a forced type, and nothing is shown yet.
  void PostStartRequest();
  // Stops media and processes the posted start request.
  void ProcessStartRequest();

  // The request in the transfer buffer, for `command` (one of the navigation requests, or
  // Command::kNone for the start-up). Does nothing but the busy indication when the buffer is
  // idle.
  void ProcessRequest(Command command);
  // Shows the current page's image of the type of an image-type command (9025 to 9028), or of the
  // requested type when one is pending.
  void ShowImageOfType(Command command);
  // Makes the page in the buffer current and enables its buttons, without showing anything.
  void AnnouncePage();
  void SelectInSearchWindow();
  void ChangeStructure();

  const IndexEntry& currentPage() const { return currentPage_; }
  ImageType currentType() const { return currentType_; }
  const std::string& lastRequestedName() const { return lastRequestedName_; }
  const std::string& lastImagePath() const { return lastImagePath_; }
  bool textVisible() const { return textVisible_; }
  void SetTextVisible(bool visible) { textVisible_ = visible; }

 private:
  void StopMedia();
  void WaitMessage(bool on);
  // A page name with an image-type suffix becomes the page and the type it forces.
  void SplitPageTag();
  void ShowFoundPage(Command command);
  void ShowStructure();
  void EnableButtonsFor(const IndexEntry& page);
  Command ChooseImageCommand() const;
  // The type and the image file (relative to the data path) that `command`, an image button's,
  // shows of `page`; no path when the type is none.
  struct ImageChoice {
    ImageType type = kNoImageType;
    std::string path;
  };
  ImageChoice ChooseImage(const IndexEntry& page, Command command) const;

  const Catalogue& catalogue_;
  RequestViews views_;
  RequestServices services_;

  TransferBuffer buffer_;
  IndexEntry currentPage_;
  ImageType currentType_ = kNoImageType;
  bool textVisible_ = true;
  bool resolvingPlace_ = false;  // inside the request for the one place of a structure
  // The text a page request showed just before its image: the image shown next need not load it
  // again when it would show the same.
  struct ShownText {
    std::string file;
    ImageType type;
    bool visible;
  };
  std::optional<ShownText> pageText_;
  std::string lastRequestedName_;
  std::string lastImagePath_;
};

}  // namespace ostrelin
