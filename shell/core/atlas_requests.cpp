#include "shell/core/atlas_requests.h"

namespace ostrelin {

bool AtlasRequests::Send(Command command, std::string_view name) {
  if (!buffer_.Take(name)) return false;
  mainWindow_.Send(command);
  return true;
}

bool SendRequest(TransferBuffer& buffer, CommandTarget& target, int command,
                 std::string_view name) {
  return AtlasRequests(buffer, target).Send(AsCommand(command), name);
}

}  // namespace ostrelin
