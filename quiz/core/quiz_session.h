#pragma once
// One run of the quiz on the image window, without widgets. The session owns the questions and
// the score (`Quiz`), what a wrong answer confused, the learning record the answers go into and
// the clock that dates them, and in a series the planes opened one after the other. The quiz's
// window asks it what to do next and tells it what happened: a click or a typed name, the answer
// shown, an image replaced or loaded.
//
// A series opens each plane through the main window. `Next()` then says "open this plane"; the
// image window tells the session when an image loaded while the plane was being opened, and the
// following `Next()` asks on it, or opens the plane after it when it brought nothing to ask. While
// a plane is being opened the run keeps its full view (`OpeningPlane()`).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/core/cross_reference_list.h"
#include "platform/core/runtime_random.h"
#include "quiz/core/learning_record.h"
#include "quiz/core/quiz.h"
#include "quiz/core/typed_answer.h"
#include "structures/core/object_list.h"

namespace ostrelin {

// What the quiz's window does next.
struct QuizStep {
  enum class Kind {
    Nothing,    // no run, or no image to ask on
    Ask,        // `question`
    OpenPlane,  // open `plane` (a page name); the image it loads is told by ImageLoaded
    Done,       // the run has ended: show `message` (when not empty) and leave full view
  };
  Kind kind = Kind::Nothing;
  QuizQuestion question;
  std::string plane;
  std::string message;
};

// The message an answer gets; a right answer goes on to the next question.
struct QuizReply {
  bool right = false;
  std::string message;
};

// After a wrong answer, until the next question: the strip's note, the structures chosen
// (outlined red) and the one asked (green).
struct QuizConfusion {
  std::string note;
  std::vector<int> chosen;
  int asked = -1;
  bool Empty() const { return note.empty() && chosen.empty() && asked < 0; }
};

class QuizSession {
 public:
  // Every answer goes into `record` (null: no record) dated by `today`.
  void SetLearningRecord(LearningRecordFile* record, TodayClock today = SystemToday);
  // The synonyms a typed answer may use.
  void SetSynonyms(SynonymPairs synonyms) { synonyms_ = std::move(synonyms); }

  // A run on the image shown (`objects`, null without one) in `direction`; `alternate` draws the
  // direction anew for every question. False, and nothing started, when the image has no
  // structures to ask.
  bool Start(int direction, bool alternate, const Objektliste* objects);
  // "Ganze Serie": every plane of `planes` (page names) in one run, name to structure.
  void StartSeries(std::vector<std::string> planes);
  // What comes now: the next question (an unanswered one is passed over), the next plane of a
  // series, or the end of the run with its result.
  QuizStep Next(const Objektliste* objects, RuntimeRandom& random);
  // Ends the run; the message with its result after `before`, "" when it asked nothing.
  std::string End(std::string_view before = {});

  // Another image is about to be loaded: the questions left point at the old one.
  void ImageReplaced();
  // An image has been loaded (`objects` its structures): while a plane is being opened, the plane.
  void ImageLoaded(const Objektliste* objects);
  // The plane being opened is the page on screen already, which loads no image again: unless an
  // image came meanwhile, the plane is asked on the image as it stands (`objects`).
  void PlaneOnScreen(const Objektliste* objects);
  bool OpeningPlane() const { return opening_; }

  // Judges a click on `hits` (non-empty) in the direction name to structure; the structure it
  // chose becomes current.
  QuizReply AnswerClick(const HitList& hits, Objektliste& objects);
  // Judges a name typed for the structure shown; `crossReferences` hold more names of the atlas a
  // wrong answer may have meant. Nothing when the question takes no typed answer now, or nothing
  // was typed.
  std::optional<QuizReply> AnswerTyped(std::string_view typed, const Objektliste* objects,
                                       const CrossReferenceList& crossReferences);
  // "Zeige Antwort": counted as shown and asked again. True when there is a structure to find,
  // which the window then highlights.
  bool ShowAnswer(const Objektliste* objects);
  // The name of the structure shown was shown in the dialog: counted as "Zeige Antwort".
  bool NameShown(const Objektliste* objects);

  // Forgets the confusion; true when there was one (the window paints again).
  bool ClearConfusion();

  const Quiz& State() const { return quiz_; }
  const QuizConfusion& Confusion() const { return confusion_; }
  // The strip while the run goes on: the confusion, then the plane asked in a series.
  std::string StripText() const { return QuizStripText(quiz_, confusion_.note); }
  std::string Score() const { return ScoreText(quiz_); }

 private:
  QuizStep OpenNextPlane();
  QuizStep Finish(std::string_view before);
  // Counts the current question's first answer in the score and the learning record.
  void Count(bool right, const std::string& chosen, const Objektliste* objects);
  QuizReply Answered(const QuizAnswer& answer, const Objektliste* objects);
  // The names a typed answer may mean instead of the one asked.
  std::vector<std::string> AtlasNames(const Objektliste* objects,
                                      const CrossReferenceList& crossReferences) const;
  bool Shown(const Objektliste* objects);

  Quiz quiz_;
  QuizConfusion confusion_;
  LearningRecordFile* record_ = nullptr;
  TodayClock today_ = SystemToday;
  SynonymPairs synonyms_;
  bool opening_ = false;      // a plane of the series is being opened
  bool planeReady_ = false;   // ... and its image loaded with structures to ask
  bool planeLoaded_ = false;  // ... and an image loaded for it at all
  bool planeAsked_ = false;   // the series has asked on a plane already
  bool seriesStart_ = false;  // a series has started and opens its first plane next
};

}  // namespace ostrelin
