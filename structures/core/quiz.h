#pragma once
// The quiz ("Testat") on the structures of the shown image: which structure is asked next, in
// which direction, and whether a click answered it. The image window runs the dialog and the
// messages; this class holds the state and makes the decisions.
//
// The questions still to ask are a list of structure indices: filled with every index and
// shuffled when it runs empty, taken from the front, and a wrongly answered question goes to its
// end so it comes back later. The list belongs to the image it was built for and is emptied when
// another image is loaded.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/runtime_random.h"
#include "structures/core/learning_record.h"
#include "structures/core/typed_answer.h"
#include "structures/core/object_list.h"

namespace ostrelin {

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
};

class Quiz {
 public:
  // A new run with a new score; the questions left from an earlier run on the same image are kept.
  void Start(int direction, bool alternate);
  void Stop() { running_ = false; }
  bool Running() const { return running_; }

  // Draws the next question: with the alternate flag a new direction first (a number 0..99
  // below 50 gives name to structure), then the list is refilled and shuffled if it is empty,
  // and its first index is taken. With a learning record the refilled list asks the structures
  // due on `today` first (lowest box first); without one, or with nothing due, it stays as drawn.
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

  // Judges a name typed for the structure shown in the direction structure to name.
  QuizAnswer JudgeTyped(std::string_view typed, const SynonymPairs& synonyms) const;

  // Counts the outcome of the current question: only its first answer counts (a wrong click
  // followed by the right one is wrong; a shown answer is wrong). True when it was counted.
  bool Score(bool right);
  int RightCount() const { return right_; }
  int WrongCount() const { return wrong_; }
  // The questions still in the list.
  int OpenCount() const { return int(questions_.size()); }

  // After a wrong answer: the current question goes to the end of the list, unless the list is
  // empty or already ends with it.
  void Requeue();

  // Another image: its structures are not those the questions point at.
  void ResetQuestions();

  // A run over a whole series: the planes are asked one after the other, each with all its
  // structures, and the score counts across them. Start() ends a series.
  void StartSeries(std::vector<std::string> planes);
  bool InSeries() const { return !planes_.empty(); }
  // True when every question of the shown plane has been asked (an image just loaded has asked
  // none yet).
  bool PlaneDone() const { return InSeries() && questions_.empty() && current_ >= 0; }
  // The next plane to open; "" when the series is through.
  std::string NextPlane();
  int PlaneCount() const { return int(planes_.size()); }
  int PlaneIndex() const { return plane_; }

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
  bool scored_ = false;  // the current question's outcome is counted
  std::vector<std::string> planes_;
  int plane_ = -1;  // the plane shown in a series
};

// The score line: "Richtig: r   Falsch: f   Offen: o".
std::string ScoreText(const Quiz& quiz);
// The strip after a wrong click: "Gewählt: <clicked> · Gesucht: <asked>".
std::string ConfusionText(std::string_view chosen, std::string_view asked);
// A message text with "%1" (and "%2", "%3") replaced.
std::string FillIn(std::string_view text, std::initializer_list<std::string_view> values);

}  // namespace ostrelin
