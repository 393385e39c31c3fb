#pragma once
// Message boxes and beeps as a service. The atlas asks every question and reports every error
// through this interface: the program passes a Qt implementation, tests a scripted one.

#include <string>
#include <string_view>

namespace ostrelin {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Question, Exclamation, Stop };
enum class MessageAnswer { Ok, Yes, No };

class MessageService {
 public:
  virtual ~MessageService() = default;

  // Shows `text` (Windows-1252; "\n" breaks lines) modally and returns the button pressed.
  // An empty caption means the program's name.
  virtual MessageAnswer Show(std::string_view text, MessageButtons buttons, MessageIcon icon,
                             std::string_view caption = {}) = 0;

  // The system sound that belongs to `icon` (None: the default beep).
  virtual void Beep(MessageIcon icon) = 0;
};

}  // namespace ostrelin
