#pragma once
// The services the shell reaches the outside world through. The program passes the Qt ones; tests
// pass scripted fakes, so start-up and closing run without a display or a person at the keyboard.

#include <functional>
#include <string>

#include "platform/core/message_service.h"
#include "platform/core/runtime_random.h"
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
  // The program's seeded random numbers (the quiz draws from them); null: the main window keeps a
  // generator of its own with the default seed.
  RuntimeRandom* random = nullptr;
  // The modal start dialog over the given window, with the data path it reads "Info.TXT" from;
  // empty: the atlas's own dialog. Tests replace it, since nobody is there to close it.
  std::function<void(QWidget*, const std::string& dataPath)> showStartDialog;
  // The modal about box and credits of the help menu; empty: the atlas's own dialogs.
  std::function<void(QWidget*)> showAbout;
};

}  // namespace ostrelin
