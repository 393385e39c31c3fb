#include "shell/core/transfer_buffer.h"

#include "platform/core/strings.h"

namespace ostrelin {

void TransferBuffer::SetName(std::string_view requested) {
  name.assign(CutToBuffer(requested, kTextBuffer));
}

void TransferBuffer::SetStructureToSelect(std::string_view structure) {
  structureToSelect.assign(CutToBuffer(structure, kTextBuffer));
}

bool TransferBuffer::Take(std::string_view requested) {
  if (busy) return false;
  busy = true;
  SetName(requested);
  return true;
}

}  // namespace ostrelin
