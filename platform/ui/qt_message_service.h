#pragma once
// Message boxes of the atlas as QMessageBox: application-modal, waiting for the answer.

#include <QPointer>
#include <QWidget>

#include "platform/core/message_service.h"

namespace ostrelin {

class QtMessageService : public MessageService {
 public:
  // Boxes are centred over `parent` when it is given (normally the main window).
  explicit QtMessageService(QWidget* parent = nullptr) : parent_(parent) {}

  MessageAnswer Show(std::string_view text, MessageButtons buttons, MessageIcon icon,
                     std::string_view caption = {}) override;
  void Beep(MessageIcon icon) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace ostrelin
