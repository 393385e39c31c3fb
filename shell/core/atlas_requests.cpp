#include "shell/core/atlas_requests.h"

namespace ostrelin {

bool AtlasRequests::Send(Command command, std::string_view name) {
  if (!buffer_.Take(name)) return false;
  mainWindow_.Send(command);
  return true;
}

}  // namespace ostrelin
