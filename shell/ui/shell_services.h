#pragma once
// The services the shell reaches the outside world through. The program passes the Qt ones; tests
// pass scripted fakes, so start-up and closing run without a display or a person at the keyboard.

#include <functional>

#include "platform/core/message_service.h"
#include "platform/core/wait_cursor.h"
#include "shell/core/display_check.h"
#include "shell/core/media.h"

class QWidget;

namespace ostrelin {

struct ShellServices {
  MessageService* messages = nullptr;
  WaitCursor* waitCursor = nullptr;  // the one hourglass switch of the process
  // Colour depth and width of the screen that shows the given window.
  std::function<DisplayInfo(const QWidget*)> queryDisplay;
  // Sound and video; may be null, and then nothing plays and there is nothing to stop.
  Media* media = nullptr;
};

}  // namespace ostrelin
