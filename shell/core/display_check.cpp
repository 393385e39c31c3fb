#include "shell/core/display_check.h"

#include "resources/core/string_table.h"

namespace ostrelin {

std::string DisplayCheckMessage(const DisplayInfo& display) {
  std::string message;
  if (display.bitsPerPixel < 15) message += LoadText(text::kTooFewColours);
  if (display.horizontalResolution < 800) {
    if (!message.empty()) message += '\n';
    message += LoadText(text::kResolutionTooLow);
  }
  return message;
}

}  // namespace ostrelin
