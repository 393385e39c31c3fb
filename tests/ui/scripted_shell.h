#pragma once
// The main window's services for tests: scripted message boxes, a recording hourglass, a
// true-colour display 1024 pixels wide and no start dialog (nobody is there to close it). A test
// changes whichever field it needs before it builds the window.

#include <string>

#include "app/shell_services.h"
#include "platform/core/scripted_message_service.h"
#include "platform/core/wait_cursor.h"
#include "tests/support/recording_cursor.h"

namespace ostrelin::test {

struct ScriptedShell {
  ScriptedShell() : waitCursor(cursors) {
    services.messages = &messages;
    services.waitCursor = &waitCursor;
    services.queryDisplay = [](const QWidget*) { return DisplayInfo{24, 1024}; };
    services.showStartDialog = [](QWidget*, const std::string&) {};
  }
  ScriptedShell(const ScriptedShell&) = delete;
  ScriptedShell& operator=(const ScriptedShell&) = delete;

  ScriptedMessageService messages;
  RecordingCursorService cursors;
  WaitCursor waitCursor;
  ShellServices services;
};

}  // namespace ostrelin::test
