#include "quiz/ui/quiz_mode.h"

#include <QCursor>
#include <QLineEdit>

#include "platform/ui/qt_text.h"
#include "resources/core/ui_texts.h"
#include "shell/core/commands.h"
#include "structures/core/image_window_model.h"

namespace ostrelin {
namespace t = quiz_text;

QuizMode::QuizMode(ImageWindow& window, TransferBuffer& buffer, CommandTarget& mainWindow,
                   MessageService& messages)
    : window_(&window), requests_(buffer, mainWindow), messages_(messages) {
  window.SetMode(this);
}

QuizMode::~QuizMode() {
  if (window_) window_->SetMode(nullptr);
  delete dialog_.data();
}

void QuizMode::Start(int direction, bool alternate) {
  if (!window_->Image() || !session_.Start(direction, alternate, window_->Objects())) {
    messages_.Show(t::kNoStructures, MessageButtons::Ok, MessageIcon::Information);
    return;
  }
  window_->ClearPointing();
  window_->EnterFullView(false);
  Advance();
}

void QuizMode::StartSeries(std::vector<std::string> planes) {
  window_->ClearPointing();
  session_.StartSeries(std::move(planes));
  window_->EnterFullView(false);
  Advance();
}

void QuizMode::Advance() {
  for (;;) {
    const QuizStep step = session_.Next(window_->Objects(), window_->Random());
    switch (step.kind) {
      case QuizStep::Kind::Nothing: return;
      case QuizStep::Kind::Ask: Ask(step.question); return;
      case QuizStep::Kind::OpenPlane:
        // A page request as from a link, not the panel's own: the panel follows and marks the
        // plane. The window tells the session about the image it loads meanwhile.
        requests_.GoToPlace(step.plane);
        // The page shown already (a series started on its first plane) loads no image again.
        if (EqualsIgnoringCase(window_->PageName(), step.plane)) {
          session_.PlaneOnScreen(window_->Objects());
        }
        break;
      case QuizStep::Kind::Done:
        if (!step.message.empty()) {
          messages_.Show(step.message, MessageButtons::Ok, MessageIcon::Information);
        }
        window_->Command(image_cmd::kNormalView);
        return;
    }
  }
}

void QuizMode::Ask(const QuizQuestion& question) {
  const QCursor before = window_->cursor();
  window_->setCursor(Qt::ArrowCursor);
  window_->ClearHighlight(true);
  Repaint();  // the confusion of the last question is gone
  if (!dialog_) {
    dialog_ = new QuizDialog(window_, [this](int id) {
      if (!Command(id)) window_->Command(id);
    });
    // Just below the strip, wherever the window's parent sits on the screen.
    dialog_->move(window_->mapToGlobal(QPoint(0, kStripHeight)));
    dialog_->show();
  }
  dialog_->SetCaption(question.nameToStructure ? t::kWhereIs : t::kNameIt);
  if (!question.name.empty()) {
    if (question.nameToStructure) {
      dialog_->AskForStructure(question.name);
    } else {
      window_->HighlightQuietly(question.name);
      dialog_->AskForName(question.name);
    }
  }
  ShowScore();
  window_->setCursor(before);
}

bool QuizMode::Command(int id) {
  switch (id) {
    case quiz_cmd::kNextQuestion: Advance(); return true;
    case quiz_cmd::kShowAnswer: ShowAnswer(); return true;
    case quiz_cmd::kNameShown: NameShown(); return true;
    case quiz_cmd::kTypedAnswer: AnswerTyped(); return true;
    default: return false;
  }
}

void QuizMode::Click(const HitList& hits) {
  Objektliste* objects = window_->Objects();
  if (!objects) return;
  const QuizReply reply = session_.AnswerClick(hits, *objects);
  Repaint();
  Reply(reply);
}

void QuizMode::AnswerTyped() {
  if (!dialog_) return;
  const std::optional<QuizReply> reply = session_.AnswerTyped(
      FromQString(dialog_->AnswerField()->text()), window_->Objects(), window_->CrossReferences());
  if (!reply) return;
  Repaint();
  Reply(*reply);
}

void QuizMode::Reply(const QuizReply& reply) {
  ShowScore();
  messages_.Show(reply.message, MessageButtons::Ok, MessageIcon::Information);
  if (reply.right) Advance();
}

void QuizMode::ShowAnswer() {
  if (!session_.ShowAnswer(window_->Objects())) return;
  ShowScore();
  window_->Highlight(State().TargetName(), kDrawOutline, true, false);
}

void QuizMode::NameShown() {
  if (session_.NameShown(window_->Objects())) ShowScore();
}

void QuizMode::ShowScore() {
  if (dialog_) dialog_->SetScore(session_.Score());
}

void QuizMode::Repaint() {
  if (window_) window_->update();
}

void QuizMode::PaintOverlay(Objektliste& objects) {
  for (int chosen : session_.Confusion().chosen) {
    objects.Draw(chosen, kDrawOutline, kConfusionRed);
  }
  objects.Draw(session_.Confusion().asked, kDrawOutline, kHighlightGreen);
}

void QuizMode::ImageLoaded() { session_.ImageLoaded(window_->Objects()); }

bool QuizMode::LeaveFullView() {
  if (session_.OpeningPlane()) return false;  // a series' plane opens inside the running quiz
  const std::string result = session_.End();
  if (!result.empty()) messages_.Show(result, MessageButtons::Ok, MessageIcon::Information);
  if (session_.ClearConfusion()) Repaint();
  if (dialog_) {
    QuizDialog* dialog = dialog_;
    dialog_ = nullptr;
    dialog->hide();
    dialog->deleteLater();
  }
  return true;
}

}  // namespace ostrelin
