#pragma once
// The quiz ("Testat") as a mode of the image window: it runs a QuizSession on the window's image
// in full view, with the control dialog below the strip. While it runs, clicks (and Enter on a
// structure stepped to) answer, the names under the pointer and the context menu stay away, a
// wrong answer's structures are outlined red and green, and the strip names the confusion and,
// in a series, the plane asked. Made once by the program for its image window, which it installs
// itself in; a series opens its planes through the main window (command 1276, as from a link).

#include <QPointer>
#include <string>
#include <vector>

#include "platform/core/message_service.h"
#include "resources/core/ui_texts.h"
#include "quiz/core/quiz_session.h"
#include "quiz/ui/quiz_dialog.h"
#include "shell/core/atlas_requests.h"
#include "shell/core/transfer_buffer.h"
#include "structures/ui/image_window.h"
#include "structures/ui/image_window_mode.h"

namespace ostrelin {

class QuizMode : public ImageWindowMode {
 public:
  QuizMode(ImageWindow& window, TransferBuffer& buffer, CommandTarget& mainWindow,
           MessageService& messages);
  ~QuizMode() override;
  QuizMode(const QuizMode&) = delete;
  QuizMode& operator=(const QuizMode&) = delete;

  // The quiz of the menu "Abfrage": direction 1 name to structure, 0 structure to name;
  // `alternate` draws the direction anew for every question.
  void Start(int direction, bool alternate);
  // "Ganze Serie": the structures of every plane in `planes` (page names) in one run, name to
  // structure; planes without structures are passed over.
  void StartSeries(std::vector<std::string> planes);

  // The user's learning record: every answer goes into it and it orders the questions (null: no
  // record). `today` dates the answers; the program reads the clock.
  void SetLearningRecord(LearningRecordFile* record, TodayClock today = SystemToday) {
    session_.SetLearningRecord(record, std::move(today));
  }
  void SetSynonyms(SynonymPairs synonyms) { session_.SetSynonyms(std::move(synonyms)); }

  const Quiz& State() const { return session_.State(); }
  QuizDialog* Dialog() const { return dialog_; }
  // After a wrong answer, until the next question: "Gewählt: … · Gesucht: …", the structures
  // chosen (outlined red) and the one asked (green).
  const std::string& ConfusionNote() const { return session_.Confusion().note; }
  const std::vector<int>& ConfusedChosen() const { return session_.Confusion().chosen; }
  int ConfusedAsked() const { return session_.Confusion().asked; }

  // ImageWindowMode.
  bool Active() const override { return session_.State().Running(); }
  bool TakesClicks() const override { return session_.State().AcceptsClicks(); }
  bool ShowsPointedNames() const override { return false; }
  bool AllowsContextMenu() const override { return false; }
  void Click(const HitList& hits) override;
  void PaintOverlay(Objektliste& objects) override;
  std::string StripText() const override { return session_.StripText(); }
  std::string Description() const override { return quiz_text::kQuizRunning; }
  bool Command(int id) override;
  void ImageReplaced() override { session_.ImageReplaced(); }
  void ImageLoaded() override;
  bool LeaveFullView() override;

 private:
  // Goes on as the session says: the next question, the next plane, or the end.
  void Advance();
  void Ask(const QuizQuestion& question);
  // Shows an answer's message; a right one goes on to the next question.
  void Reply(const QuizReply& reply);
  void ShowAnswer();
  void NameShown();
  void AnswerTyped();
  void ShowScore();
  void Repaint();

  QPointer<ImageWindow> window_;
  AtlasRequests requests_;
  MessageService& messages_;
  QuizSession session_;
  QPointer<QuizDialog> dialog_;
};

}  // namespace ostrelin
