#pragma once
// A MessageService that records what it is asked and answers from a script, for tests.

#include <deque>
#include <string>
#include <vector>

#include "platform/core/message_service.h"

namespace ostrelin {

class ScriptedMessageService : public MessageService {
 public:
  struct Shown {
    std::string text;
    MessageButtons buttons;
    MessageIcon icon;
    std::string caption;
  };

  // Answers given in order; once they run out, Ok boxes get Ok and Yes/No boxes get No, the
  // answer that changes nothing.
  void Script(std::initializer_list<MessageAnswer> answers) {
    answers_.insert(answers_.end(), answers.begin(), answers.end());
  }

  MessageAnswer Show(std::string_view text, MessageButtons buttons, MessageIcon icon,
                     std::string_view caption = {}) override {
    shown.push_back({std::string(text), buttons, icon, std::string(caption)});
    if (!answers_.empty()) {
      const MessageAnswer answer = answers_.front();
      answers_.pop_front();
      return answer;
    }
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
  }

  void Beep(MessageIcon icon) override { beeps.push_back(icon); }

  std::vector<Shown> shown;
  std::vector<MessageIcon> beeps;

 private:
  std::deque<MessageAnswer> answers_;
};

}  // namespace ostrelin
