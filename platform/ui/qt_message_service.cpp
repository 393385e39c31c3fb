#include "platform/ui/qt_message_service.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/ui/qt_text.h"
#include "resources/core/string_table.h"

namespace ostrelin {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Stop: return QMessageBox::Critical;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

MessageAnswer QtMessageService::Show(std::string_view text, MessageButtons buttons,
                                     MessageIcon icon, std::string_view caption) {
  QMessageBox box(parent_);
  box.setWindowModality(Qt::ApplicationModal);
  box.setIcon(ToQtIcon(icon));
  box.setWindowTitle(ToQString(caption.empty() ? LoadText(text::kProgramName) : caption));
  // Page and structure names may hold '<' or '&': never let Qt read them as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(ToQString(text));
  // The atlas speaks German whatever the desktop's language.
  const auto addButton = [&box](QMessageBox::StandardButton button, int label) {
    box.addButton(button)->setText(ToQString(LoadText(label)));
  };
  if (buttons == MessageButtons::YesNo) {
    addButton(QMessageBox::Yes, text::kButtonYes);
    addButton(QMessageBox::No, text::kButtonNo);
    box.setDefaultButton(QMessageBox::Yes);
  } else {
    addButton(QMessageBox::Ok, text::kButtonOk);
    box.setDefaultButton(QMessageBox::Ok);
  }
  const int pressed = box.exec();
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  // Closing a Yes/No box any other way (Escape, window close) is the answer that changes nothing.
  return pressed == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

void QtMessageService::Beep(MessageIcon) { QApplication::beep(); }

}  // namespace ostrelin
