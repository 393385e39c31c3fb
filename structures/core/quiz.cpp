#include "structures/core/quiz.h"

#include <algorithm>
#include <utility>

#include "structures/core/image_window_model.h"
#include "structures/core/image_window_texts.h"
#include "platform/core/strings.h"

namespace ostrelin {

void Quiz::Start(int direction, bool alternate) {
  running_ = true;
  direction_ = direction == kQuizStructureToName ? kQuizStructureToName : kQuizNameToStructure;
  alternate_ = alternate;
  answerShown_ = false;
  right_ = 0;
  wrong_ = 0;
  scored_ = false;
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
  answerShown_ = false;
  scored_ = false;
  if (alternate_) {
    direction_ = RandomBelow(random, 100) < 50 ? kQuizNameToStructure : kQuizStructureToName;
  }
  if (questions_.empty()) {
    Refill(list.Count(), random);
    if (record != nullptr) {
      PutDueFirst(questions_, *record, today, [&list](int i) {
        return i < list.Count() ? list.At(i).Name() : std::string_view();
      });
    }
  }

  QuizQuestion question;
  question.nameToStructure = NameToStructure();
  if (questions_.empty()) return question;  // an image without structures
  current_ = questions_.front();
  questions_.erase(questions_.begin());
  question.index = current_;
  if (current_ < list.Count()) question.name = std::string(list.At(current_).Name());
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
    answer.chosenText = image_window_text::kOverlapNoneRight;
  } else if (answer.structure >= 0 && answer.structure < list.Count()) {
    answer.chosenText = std::string(list.At(answer.structure).Name());
  }
  return answer;
}

QuizAnswer Quiz::JudgeTyped(std::string_view typed, const SynonymPairs& synonyms) const {
  QuizAnswer answer;
  answer.structure = current_;
  answer.chosenText = std::string(Trimmed(typed));
  answer.right = !shown_.empty() && TypedAnswerMatches(typed, shown_, synonyms);
  return answer;
}

bool Quiz::Score(bool right) {
  if (scored_) return false;
  scored_ = true;
  (right ? right_ : wrong_) += 1;
  return true;
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
  return FillIn(image_window_text::kScore,
                {std::to_string(quiz.RightCount()), std::to_string(quiz.WrongCount()),
                 std::to_string(quiz.OpenCount())});
}

std::string ConfusionText(std::string_view chosen, std::string_view asked) {
  return FillIn(image_window_text::kConfusion, {chosen, asked});
}

void Quiz::Requeue() {
  if (questions_.empty() || current_ < 0) return;
  if (questions_.back() == std::uint16_t(current_)) return;
  questions_.push_back(std::uint16_t(current_));
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

void Quiz::ResetQuestions() {
  questions_.clear();
  current_ = -1;
  target_.clear();
  shown_.clear();
}

}  // namespace ostrelin
