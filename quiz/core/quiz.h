#pragma once
// The quiz ("Testat") on the structures of the shown image: which structure is asked next, in
// which direction, and whether a click answered it. The image window runs the dialog and the
// messages; this class holds the state and makes the decisions.
//
// The questions still to ask are a list of structure indices: filled with every index and
// shuffled at the start of a run, taken from the front, and a wrongly answered question goes to
// its end so it is asked once more before the run is through. A run is through when the list is
// empty after its last question: it does not start over by itself. The list belongs to the image
// it was built for and is emptied when another image is loaded.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/runtime_random.h"
#include "quiz/core/learning_record.h"
#include "quiz/core/typed_answer.h"
#include "structures/core/object_list.h"

namespace ostrelin {

// The quiz dialog's commands besides "Test beenden" (the image window's own 1286, normal view).
namespace quiz_cmd {
inline constexpr int kNextQuestion = 1834;
inline constexpr int kShowAnswer = 9126;
inline constexpr int kNameShown = 9127;    // the name was shown in its field
inline constexpr int kTypedAnswer = 9128;  // Enter in the editable field
}  // namespace quiz_cmd

// Directions as the menu gives them.
inline constexpr int kQuizStructureToName = 0;
inline constexpr int kQuizNameToStructure = 1;

struct QuizQuestion {
  bool nameToStructure = true;
  int index = -1;    // the structure asked
  std::string name;  // empty: a structure without name, which asks nothing
};

struct QuizAnswer {
  bool right = false;
  int structure = -1;      // the structure that became current (-1: none)
  std::string chosenText;  // what the user chose, for the message of a wrong answer
  // What the learning record keeps as the confusion of a wrong answer ("" for a plain miss).
  std::string confusedWith;
  bool misspelt = false;  // right with one typing error: the right spelling is to be shown
};

class Quiz {
 public:
  // A new run with a new score; the questions left from an earlier run on the same image are
  // kept (the run asks them), otherwise the run asks every structure.
  void Start(int direction, bool alternate);
  void Stop() { running_ = false; }
  bool Running() const { return running_; }

  // Draws the next question: with the alternate flag a new direction first (a number 0..99
  // below 50 gives name to structure), then the list is filled and shuffled if the run has not
  // asked anything yet, and its first index is taken. With a learning record the filled list
  // asks the structures due on `today` first (lowest box first); without one, or with nothing
  // due, it stays as drawn. When the run is through (`Through()`) it asks nothing (index -1).
  QuizQuestion Next(const Objektliste& list, RuntimeRandom& random,
                    const LearningRecord* record = nullptr, Day today = {});

  bool NameToStructure() const { return direction_ == kQuizNameToStructure; }
  bool Alternate() const { return alternate_; }
  int Current() const { return current_; }
  // The name to be found in the direction name to structure (empty in the other direction).
  const std::string& TargetName() const { return target_; }
  // The name of the structure shown in the direction structure to name.
  const std::string& ShownName() const { return shown_; }

  bool AnswerShown() const { return answerShown_; }
  void SetAnswerShown() { answerShown_ = true; }

  // Clicks answer only in the direction name to structure, before the answer has been shown.
  bool AcceptsClicks() const { return running_ && NameToStructure() && !answerShown_; }

  // Judges the structures under a click (`hits` non-empty): right at the first whose name equals
  // the target ignoring case. With several hits and none right, the chosen text says so.
  QuizAnswer Judge(const HitList& hits, const Objektliste& list) const;

  // Judges a name typed for the structure shown in the direction structure to name; a name of
  // another structure among `atlasNames` is the confusion of a wrong answer.
  QuizAnswer JudgeTyped(std::string_view typed, const SynonymPairs& synonyms,
                        const std::vector<std::string>& atlasNames = {}) const;

  // Counts the outcome of the current question: only its first answer counts (a wrong click
  // followed by the right one is wrong), and a question asked once more after a miss is not
  // counted again. True when it was counted (and belongs in the learning record).
  bool Score(bool right);
  // The current question is left ("Nächste Frage"): unanswered, it counts as passed over.
  void Pass();
  // The answer was shown: counted as shown (the learning record takes it as a miss).
  bool ScoreShown();
  int RightCount() const { return right_; }
  int WrongCount() const { return wrong_; }
  int ShownCount() const { return shownCount_; }
  // The questions of the run so far: answered, shown or passed over with "Nächste Frage".
  int AskedCount() const { return right_ + wrong_ + shownCount_ + passed_; }
  // The questions still to come: those in the list and the current one until it is answered.
  // A missed question goes back into the list as it is answered, so the count never grows.
  int OpenCount() const;
  // Every question of the run has been taken: the next one would start the run over.
  bool Through() const { return current_ >= 0 && questions_.empty(); }
  // The current question is one asked again after a miss.
  bool AskedAgain() const { return again_; }

  // After a wrong answer: the current question goes to the end of the list, to be asked once
  // more before the run is through (a question asked again is not queued a third time).
  void Requeue();

  // Another image: its structures are not those the questions point at.
  void ResetQuestions();

  // A run over a whole series: the planes are asked one after the other, each with all its
  // structures, and the score counts across them. Start() ends a series.
  void StartSeries(std::vector<std::string> planes);
  bool InSeries() const { return !planes_.empty(); }
  // True when every question of the shown plane has been asked (an image just loaded has asked
  // none yet).
  bool PlaneDone() const { return InSeries() && Through(); }
  // The next plane to open; "" when the series is through.
  std::string NextPlane();
  int PlaneCount() const { return int(planes_.size()); }
  int PlaneIndex() const { return plane_; }
  // The name of the plane shown in a series ("" outside a series).
  std::string PlaneName() const;

  const std::vector<std::uint16_t>& Questions() const { return questions_; }

 private:
  void Refill(int count, RuntimeRandom& random);

  bool running_ = false;
  int direction_ = kQuizNameToStructure;
  bool alternate_ = false;
  bool answerShown_ = false;
  std::vector<std::uint16_t> questions_;
  int current_ = -1;
  std::string target_;
  std::string shown_;
  int right_ = 0;
  int wrong_ = 0;
  int shownCount_ = 0;
  int passed_ = 0;                       // questions left with "Nächste Frage" before any answer
  bool scored_ = false;                  // the current question has had its answer
  bool again_ = false;                   // the current question is asked again after a miss
  bool named_ = false;                   // the current question names a structure
  std::vector<std::uint16_t> requeued_;  // the questions this run asks once more
  std::vector<std::string> planes_;
  int plane_ = -1;  // the plane shown in a series
};

// The score line: "Richtig: r   Falsch: f   Gezeigt: a   Offen: o".
std::string ScoreText(const Quiz& quiz);
// The result at the end of a run: "Ergebnis: r von n richtig, f falsch, a gezeigt".
std::string ResultText(const Quiz& quiz);
// In a series, the plane asked: "Ebene 3 von 12: Kopf axial +10 mm" ("" outside a series).
std::string PlaneText(const Quiz& quiz);
// The strip while a quiz runs: what a wrong answer confused, then the plane asked in a series.
std::string QuizStripText(const Quiz& quiz, std::string_view confusion);
// The strip after a wrong click: "GewÃ¤hlt: <clicked> Â· Gesucht: <asked>".
std::string ConfusionText(std::string_view chosen, std::string_view asked);
// The quiz dialog's width in pixels: its design width, or wider so that its caption fits the
// window's title bar (`captionWidth` of text beside kTitleButtons buttons of `titleHeight` each)
// and its question fits the name field (`questionWidth` of text plus `fieldMargins`); never wider
// than `screenWidth`.
struct QuizDialogFit {
  int designWidth = 0;
  int captionWidth = 0;
  int titleHeight = 0;
  int questionWidth = 0;
  int fieldMargins = 0;
  int screenWidth = 0;
};
inline constexpr int kTitleButtons = 4;  // the window icon and three buttons
int QuizDialogWidth(const QuizDialogFit& fit);

// A message text with "%1" (and "%2", "%3") replaced.
std::string FillIn(std::string_view text, std::initializer_list<std::string_view> values);

}  // namespace ostrelin
