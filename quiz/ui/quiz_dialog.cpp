#include "quiz/ui/quiz_dialog.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "platform/ui/dialog_units.h"
#include "platform/ui/qt_text.h"
#include "structures/core/image_window_model.h"
#include "resources/core/ui_texts.h"
#include "quiz/core/quiz.h"

namespace ostrelin {

QuizDialog::QuizDialog(QWidget* parent, std::function<void(int)> send)
    : QDialog(parent), send_(std::move(send)) {
  namespace t = quiz_text;
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
  designWidth_ = units.ToPixelsX(202);
  margin_ = units.ToPixelsX(4);
  setFixedSize(units.ToPixels(QSize(202, 54)));
  FitWidth();

  connect(showAnswer_, &QPushButton::clicked, this, &QuizDialog::ShowAnswer);
  connect(next_, &QPushButton::clicked, this, [this] { send_(quiz_cmd::kNextQuestion); });
  connect(end_, &QPushButton::clicked, this, &QuizDialog::End);
}

void QuizDialog::AskForStructure(const std::string& name) {
  name_ = name;
  nameToStructure_ = true;
  field_->setText(ToQString(name));
  FitWidth();
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

void QuizDialog::SetCaption(const std::string& caption) {
  setWindowTitle(ToQString(caption));
  FitWidth();
}

QFont QuizDialog::TitleFont() const {
  // The window manager draws the caption; its font is guessed as the desktop's title font, bold
  // as most title bars are, and never smaller than the application's font.
  QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  const QFont application = QApplication::font();
  if (font.pointSizeF() < application.pointSizeF()) font.setPointSizeF(application.pointSizeF());
  font.setBold(true);
  return font;
}

void QuizDialog::FitWidth() {
  namespace t = quiz_text;
  const QFontMetrics title(TitleFont());
  QuizDialogFit fit;
  fit.designWidth = designWidth_;
  // Both questions' captions, so the width stays when the direction changes.
  for (const QString& caption : {windowTitle(), ToQString(t::kWhereIs), ToQString(t::kNameIt)}) {
    fit.captionWidth = std::max(fit.captionWidth, title.horizontalAdvance(caption));
  }
  fit.titleHeight = title.height() + 8;
  const QFontMetrics field(field_->font());
  // The field's frame and text margins on both sides, and the dialog's margins.
  fit.questionWidth = field.horizontalAdvance(field_->text()) + field.averageCharWidth();
  fit.fieldMargins =
      2 * margin_ + 2 * field_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;
  const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
  fit.screenWidth = shown ? shown->availableGeometry().width() : 0;
  const int width = std::max(this->width(), QuizDialogWidth(fit));  // it only grows
  if (width == this->width()) return;
  setFixedSize(width, height());
  const int inner = width - 2 * margin_;
  field_->setGeometry(margin_, field_->y(), inner, field_->height());
  answer_->setGeometry(field_->geometry());
  score_->setGeometry(margin_, score_->y(), inner, score_->height());
  // The buttons at the left, in the middle and at the right.
  next_->move((width - next_->width()) / 2, next_->y());
  end_->move(width - margin_ - end_->width(), end_->y());
}

void QuizDialog::SetScore(const std::string& text) { score_->setText(ToQString(text)); }

bool QuizDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == answer_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      send_(quiz_cmd::kTypedAnswer);  // not the default button: Enter judges what was typed
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void QuizDialog::ShowAnswer() {
  if (nameToStructure_) {
    send_(quiz_cmd::kShowAnswer);
  } else {
    answer_->hide();
    field_->setText(ToQString(name_));
    field_->show();
    FitWidth();
    send_(quiz_cmd::kNameShown);
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
