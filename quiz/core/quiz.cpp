#include "quiz/core/quiz.h"

#include <algorithm>
#include <utility>

#include "structures/core/image_window_model.h"
#include "resources/core/ui_texts.h"
#include "platform/core/strings.h"

namespace ostrelin {

void Quiz::Start(int direction, bool alternate) {
  running_ = true;
  direction_ = direction == kQuizStructureToName ? kQuizStructureToName : kQuizNameToStructure;
  alternate_ = alternate;
  answerShown_ = false;
  right_ = 0;
  wrong_ = 0;
  shownCount_ = 0;
  passed_ = 0;
  scored_ = false;
  again_ = false;
  requeued_.clear();
  current_ = -1;  // a new run: it asks what is left, or everything
  planes_.clear();
  plane_ = -1;
  target_.clear();
  shown_.clear();
}

void Quiz::Refill(int count, RuntimeRandom& random) {
  // Indices are 16-bit, as many as an outline file can hold.
  count = std::min(count, 0x7FFF);
  questions_.resize(size_t(count));
  for (int i = 0; i < count; ++i) questions_[size_t(i)] = std::uint16_t(i);
  for (int i = 0; i < count; ++i) {
    const int a = RandomBelow(random, count);
    const int b = RandomBelow(random, count);
    std::swap(questions_[size_t(a)], questions_[size_t(b)]);
  }
}

QuizQuestion Quiz::Next(const Objektliste& list, RuntimeRandom& random,
                        const LearningRecord* record, Day today) {
  Pass();
  answerShown_ = false;
  scored_ = false;
  again_ = false;
  if (alternate_) {
    direction_ = RandomBelow(random, 100) < 50 ? kQuizNameToStructure : kQuizStructureToName;
  }
  QuizQuestion question;
  question.nameToStructure = NameToStructure();
  if (Through()) {  // the run does not start over by itself
    current_ = -1;
    scored_ = true;
    questions_.clear();
    return question;
  }
  if (questions_.empty()) {
    Refill(list.Count(), random);
    if (record != nullptr) {
      PutDueFirst(questions_, *record, today, [&list](int i) {
        return i < list.Count() ? list.At(i).Name() : std::string_view();
      });
    }
  }

  if (questions_.empty()) return question;  // an image without structures
  current_ = questions_.front();
  questions_.erase(questions_.begin());
  again_ =
      std::find(requeued_.begin(), requeued_.end(), std::uint16_t(current_)) != requeued_.end() &&
      std::find(questions_.begin(), questions_.end(), std::uint16_t(current_)) == questions_.end();
  question.index = current_;
  if (current_ < list.Count()) question.name = std::string(list.At(current_).Name());
  named_ = !question.name.empty();
  if (!question.name.empty()) {
    if (question.nameToStructure) {
      target_ = question.name;
    } else {
      shown_ = question.name;
      target_.clear();
    }
  }
  return question;
}

QuizAnswer Quiz::Judge(const HitList& hits, const Objektliste& list) const {
  QuizAnswer answer;
  for (int index : hits) {
    answer.structure = index;
    const std::string_view name = index < list.Count() ? list.At(index).Name() : std::string_view();
    if (EqualsIgnoringCase(name, target_)) {
      answer.right = true;
      answer.chosenText = std::string(name);
      return answer;
    }
  }
  if (hits.size() > 1) {
    answer.chosenText = quiz_text::kOverlapNoneRight;
  } else if (answer.structure >= 0 && answer.structure < list.Count()) {
    answer.chosenText = std::string(list.At(answer.structure).Name());
  }
  answer.confusedWith = answer.chosenText;
  return answer;
}

QuizAnswer Quiz::JudgeTyped(std::string_view typed, const SynonymPairs& synonyms,
                            const std::vector<std::string>& atlasNames) const {
  QuizAnswer answer;
  answer.structure = current_;
  answer.chosenText = std::string(Trimmed(typed));
  if (shown_.empty()) return answer;
  const TypedJudgement judgement = JudgeTypedName(typed, shown_, synonyms, atlasNames);
  answer.right = judgement.Right();
  answer.misspelt = judgement.verdict == TypedVerdict::Misspelt;
  answer.confusedWith = judgement.otherStructure;
  return answer;
}

bool Quiz::Score(bool right) {
  if (scored_) return false;
  scored_ = true;
  if (again_) return false;
  (right ? right_ : wrong_) += 1;
  return true;
}

void Quiz::Pass() {
  if (running_ && current_ >= 0 && named_ && !scored_ && !again_) ++passed_;
  scored_ = true;
}

bool Quiz::ScoreShown() {
  if (scored_) return false;
  scored_ = true;
  if (again_) return false;
  ++shownCount_;
  return true;
}

int Quiz::OpenCount() const {
  const bool pending = running_ && current_ >= 0 && !scored_;
  return int(questions_.size()) + (pending ? 1 : 0);
}

int QuizDialogWidth(const QuizDialogFit& fit) {
  // Each title button is about as wide as the bar is high, with a little room on both sides.
  const int forCaption = fit.captionWidth + (kTitleButtons + 1) * fit.titleHeight;
  const int forQuestion = fit.questionWidth + fit.fieldMargins;
  const int width = std::max({fit.designWidth, forCaption, forQuestion});
  return fit.screenWidth > 0 ? std::min(width, fit.screenWidth) : width;
}

std::string FillIn(std::string_view text, std::initializer_list<std::string_view> values) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' &&
        size_t(text[i + 1] - '1') < values.size()) {
      out += *(values.begin() + (text[i + 1] - '1'));
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string ScoreText(const Quiz& quiz) {
  return FillIn(quiz_text::kScore,
                {std::to_string(quiz.RightCount()), std::to_string(quiz.WrongCount()),
                 std::to_string(quiz.ShownCount()), std::to_string(quiz.OpenCount())});
}

std::string ResultText(const Quiz& quiz) {
  return FillIn(quiz_text::kResult,
                {std::to_string(quiz.RightCount()), std::to_string(quiz.AskedCount()),
                 std::to_string(quiz.WrongCount()), std::to_string(quiz.ShownCount())});
}

std::string PlaneText(const Quiz& quiz) {
  const std::string name = quiz.PlaneName();
  if (name.empty()) return {};
  return FillIn(quiz_text::kPlaneAsked,
                {std::to_string(quiz.PlaneIndex() + 1), std::to_string(quiz.PlaneCount()), name});
}

std::string QuizStripText(const Quiz& quiz, std::string_view confusion) {
  // What was asked first: on a narrow screen the plane is what the strip cuts off.
  std::string text(confusion);
  const std::string plane = quiz.Running() ? PlaneText(quiz) : std::string();
  if (!text.empty() && !plane.empty()) text += "   ";
  text += plane;
  return text;
}

std::string ConfusionText(std::string_view chosen, std::string_view asked) {
  return FillIn(quiz_text::kConfusion, {chosen, asked});
}

void Quiz::Requeue() {
  if (current_ < 0 || again_) return;
  const auto index = std::uint16_t(current_);
  if (std::find(requeued_.begin(), requeued_.end(), index) != requeued_.end()) return;
  requeued_.push_back(index);
  questions_.push_back(index);
}

void Quiz::StartSeries(std::vector<std::string> planes) {
  Start(kQuizNameToStructure, false);
  planes_ = std::move(planes);
  questions_.clear();
  current_ = -1;
}

std::string Quiz::NextPlane() {
  if (plane_ + 1 >= int(planes_.size())) {
    plane_ = int(planes_.size());
    return {};
  }
  return planes_[size_t(++plane_)];
}

std::string Quiz::PlaneName() const {
  return plane_ >= 0 && plane_ < int(planes_.size()) ? planes_[size_t(plane_)] : std::string();
}

void Quiz::ResetQuestions() {
  questions_.clear();
  requeued_.clear();
  again_ = false;
  current_ = -1;
  target_.clear();
  shown_.clear();
}

}  // namespace ostrelin
