#pragma once
// The one request slot of the process. A window that wants something shown puts a name into it and
// sends the main window a command; the main window resolves the name and clears the slot when the
// command has been handled. While `busy` is set, every other request is dropped by its sender, so
// a request never overwrites one that is still being handled.

#include <cstddef>
#include <string>
#include <string_view>

#include "catalogue/core/image_type.h"
#include "shell/core/commands.h"

namespace ostrelin {

struct TransferBuffer {
  static constexpr size_t kTextBuffer = 512;  // `name` and `structureToSelect` keep 511 bytes

  std::string name;
  bool busy = false;
  // Image type that the next display must use instead of the pressed or chosen one; -1 = none.
  ImageType requestedType = kNoImageType;
  // Structure to highlight once the page is shown: set when a structure name led to a page.
  std::string structureToSelect;

  // The sender's side: false (and nothing changed) while another request is busy; otherwise the
  // buffer becomes busy with `requested`, and the caller sends its command.
  // A page name may end in an image-type suffix (" (CT)"): the request processing splits it.
  bool Take(std::string_view requested);

  void SetName(std::string_view requested);
  void SetStructureToSelect(std::string_view structure);

  // What the main window does at the end of every command that found the buffer busy.
  void Release() {
    name.clear();
    busy = false;
  }
};

// Some object that commands can be sent to; the main window is the only one.
class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  // Handles the command numbered `id` before returning, like a synchronous window message. The
  // number is what menus and picture buttons carry; `Send` is the typed way in.
  virtual void SendCommand(int id) = 0;
  void Send(Command command) { SendCommand(CommandId(command)); }
};

}  // namespace ostrelin
