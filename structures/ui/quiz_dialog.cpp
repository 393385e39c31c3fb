#include "structures/ui/quiz_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/ui/dialog_units.h"
#include "platform/ui/qt_text.h"
#include "structures/core/image_window_model.h"
#include "structures/core/image_window_texts.h"

namespace ostrelin {

QuizDialog::QuizDialog(QWidget* parent, std::function<void(int)> send)
    : QDialog(parent), send_(std::move(send)) {
  namespace t = image_window_text;
  setObjectName(QStringLiteral("TESTAT_NAME"));
  setModal(false);
  setWindowTitle(ToQString(t::kQuizCaption));
  const QFont font = DialogFont(8);
  setFont(font);
  const DialogUnits units(font);

  field_ = new QLineEdit(this);
  field_->setObjectName(QString::number(kNameField));
  field_->setReadOnly(true);
  field_->setGeometry(units.ToPixels(QRect(4, 4, 194, 12)));
  answer_ = new QLineEdit(this);
  answer_->setGeometry(field_->geometry());
  answer_->hide();
  answer_->installEventFilter(this);

  showAnswer_ = new QPushButton(ToQString(t::kShowAnswer), this);
  showAnswer_->setDefault(true);
  showAnswer_->setGeometry(units.ToPixels(QRect(4, 22, 60, 14)));
  next_ = new QPushButton(ToQString(t::kNextQuestion), this);
  next_->setGeometry(units.ToPixels(QRect(71, 22, 60, 14)));
  end_ = new QPushButton(ToQString(t::kEndQuiz), this);
  end_->setGeometry(units.ToPixels(QRect(138, 22, 60, 14)));
  score_ = new QLabel(this);
  score_->setGeometry(units.ToPixels(QRect(4, 40, 194, 10)));
  setFixedSize(units.ToPixels(QSize(202, 54)));

  connect(showAnswer_, &QPushButton::clicked, this, &QuizDialog::ShowAnswer);
  connect(next_, &QPushButton::clicked, this, [this] { send_(image_cmd::kNextQuestion); });
  connect(end_, &QPushButton::clicked, this, &QuizDialog::End);
}

void QuizDialog::AskForStructure(const std::string& name) {
  name_ = name;
  nameToStructure_ = true;
  field_->setText(ToQString(name));
  field_->show();
  answer_->hide();
}

void QuizDialog::AskForName(const std::string& name) {
  name_ = name;
  nameToStructure_ = false;
  field_->clear();
  field_->hide();
  answer_->clear();
  answer_->show();
  answer_->setFocus();
}

void QuizDialog::SetCaption(const std::string& caption) { setWindowTitle(ToQString(caption)); }

void QuizDialog::SetScore(const std::string& text) { score_->setText(ToQString(text)); }

bool QuizDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == answer_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      send_(image_cmd::kTypedAnswer);  // not the default button: Enter judges what was typed
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void QuizDialog::ShowAnswer() {
  if (nameToStructure_) {
    send_(image_cmd::kShowAnswer);
  } else {
    answer_->hide();
    field_->setText(ToQString(name_));
    field_->show();
    send_(image_cmd::kNameShown);
  }
}

void QuizDialog::End() {
  if (ending_) return;
  ending_ = true;
  hide();
  send_(image_cmd::kNormalView);  // the image window forgets and deletes this dialog
}

void QuizDialog::reject() { End(); }

}  // namespace ostrelin
