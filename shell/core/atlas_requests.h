#pragma once
// What a window may ask the main window to show, by name. Each request takes the transfer buffer
// and sends its command; while another request is still busy it is dropped and the call returns
// false, so a request never overwrites one that is being handled.

#include <string_view>

#include "shell/core/commands.h"
#include "shell/core/transfer_buffer.h"

namespace ostrelin {

class AtlasRequests {
 public:
  AtlasRequests(TransferBuffer& buffer, CommandTarget& mainWindow)
      : buffer_(buffer), mainWindow_(mainWindow) {}

  // A page or a structure, with or without an image-type suffix ("Lunge (CT)").
  bool GoToPlace(std::string_view name) { return Send(Command::kGoToPlace, name); }
  // The plane chosen in the navigation panel.
  bool OpenPlane(std::string_view plane) { return Send(Command::kOpenPlane, plane); }
  // A page link of a text, and the help pages.
  bool OpenPage(std::string_view page) { return Send(Command::kPageLink, page); }
  // The name chosen in the search window: shown without selecting a structure on the way.
  bool OpenFound(std::string_view name) { return Send(Command::kSearchOpen, name); }
  // A plane or an index entry was selected: the page becomes current, nothing is shown yet.
  bool AnnouncePage(std::string_view name) { return Send(Command::kAnnouncePage, name); }
  // The image window's highlight changed ("" when nothing is highlighted).
  bool StructureHighlighted(std::string_view names) {
    return Send(Command::kStructureHighlighted, names);
  }
  // A structure link of a text: the structure is highlighted on the page shown.
  bool StructureLink(std::string_view structure) {
    return Send(Command::kStructureLink, structure);
  }
  // True while a request is being handled: any other one would be dropped.
  bool Busy() const { return buffer_.busy; }
  // A command without a name (the Bild/Index swap, the help).
  void Send(Command command) { mainWindow_.Send(command); }

  // The request `command` for `name`; false when it was dropped.
  bool Send(Command command, std::string_view name);

 private:
  TransferBuffer& buffer_;
  CommandTarget& mainWindow_;
};

}  // namespace ostrelin
