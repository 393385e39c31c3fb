#include "quiz/core/quiz_session.h"

#include <utility>

#include "platform/core/strings.h"
#include "resources/core/ui_texts.h"
#include "structures/core/image_window_model.h"

namespace ostrelin {
namespace t = quiz_text;

void QuizSession::SetLearningRecord(LearningRecordFile* record, TodayClock today) {
  record_ = record;
  today_ = today ? std::move(today) : TodayClock(SystemToday);
}

bool QuizSession::Start(int direction, bool alternate, const Objektliste* objects) {
  if (!objects || !HasMarkableStructures(*objects)) return false;
  quiz_.Start(direction, alternate);
  opening_ = false;
  seriesStart_ = false;
  return true;
}

void QuizSession::StartSeries(std::vector<std::string> planes) {
  quiz_.StartSeries(std::move(planes));
  opening_ = false;
  seriesStart_ = true;
  planeAsked_ = false;
}

QuizStep QuizSession::Next(const Objektliste* objects, RuntimeRandom& random) {
  if (!quiz_.Running()) return {};
  if (opening_) {  // back from opening a plane
    opening_ = false;
    if (!planeReady_) return OpenNextPlane();
    planeAsked_ = true;
  } else {
    quiz_.Pass();  // an unanswered question is passed over
    // A series opens its first plane first, and the next one when a plane is through.
    if (quiz_.PlaneDone() || seriesStart_) return OpenNextPlane();
  }
  // Every question of the run is answered: the result, and the end.
  if (quiz_.Through()) return Finish({});
  if (!objects) return {};
  ClearConfusion();
  QuizStep step;
  step.kind = QuizStep::Kind::Ask;
  step.question = quiz_.Next(*objects, random, record_ ? &record_->Record() : nullptr, today_());
  return step;
}

QuizStep QuizSession::OpenNextPlane() {
  seriesStart_ = false;
  QuizStep step;
  step.plane = quiz_.NextPlane();
  if (!step.plane.empty()) {
    opening_ = true;
    planeReady_ = false;
    planeLoaded_ = false;
    step.kind = QuizStep::Kind::OpenPlane;
    return step;
  }
  // Through the series, or nothing to ask on any of its planes.
  if (planeAsked_) return Finish(t::kSeriesDone);
  quiz_.Stop();
  step.kind = QuizStep::Kind::Done;
  step.message = t::kNoStructures;
  return step;
}

QuizStep QuizSession::Finish(std::string_view before) {
  QuizStep step;
  step.kind = QuizStep::Kind::Done;
  step.message = End(before);
  return step;
}

std::string QuizSession::End(std::string_view before) {
  const bool tell = quiz_.Running() && quiz_.AskedCount() > 0;
  quiz_.Stop();
  opening_ = false;
  return tell ? std::string(before) + ResultText(quiz_) : std::string();
}

void QuizSession::ImageReplaced() {
  quiz_.ResetQuestions();
  ClearConfusion();
  planeReady_ = false;
}

void QuizSession::ImageLoaded(const Objektliste* objects) {
  if (!opening_) return;
  planeReady_ = objects && HasMarkableStructures(*objects);
  planeLoaded_ = true;
}

void QuizSession::PlaneOnScreen(const Objektliste* objects) {
  if (!opening_ || planeLoaded_) return;
  ImageReplaced();
  ImageLoaded(objects);
}

bool QuizSession::ClearConfusion() {
  if (confusion_.Empty()) return false;
  confusion_ = {};
  return true;
}

void QuizSession::Count(bool right, const std::string& chosen, const Objektliste* objects) {
  const int asked = quiz_.Current();
  if (!(quiz_.AnswerShown() && !right ? quiz_.ScoreShown() : quiz_.Score(right))) return;
  if (record_ && objects && asked >= 0 && asked < objects->Count()) {
    record_->Record().Answer(objects->At(asked).Name(), right, today_(), chosen);
    record_->Save();  // a failure is told once per run; the quiz goes on
  }
}

QuizReply QuizSession::Answered(const QuizAnswer& answer, const Objektliste* objects) {
  Count(answer.right, answer.confusedWith, objects);
  QuizReply reply;
  reply.right = answer.right;
  if (answer.right) {
    reply.message = t::kRight;
    if (answer.misspelt) reply.message += "\n" + FillIn(t::kRightSpelling, {quiz_.ShownName()});
    return reply;
  }
  quiz_.Requeue();  // asked once more later
  reply.message = FillIn(t::kWrong, {answer.chosenText});
  return reply;
}

QuizReply QuizSession::AnswerClick(const HitList& hits, Objektliste& objects) {
  const QuizAnswer answer = quiz_.Judge(hits, objects);
  if (answer.structure >= 0) objects.SetCurrentStructure(answer.structure);
  if (!answer.right) {
    // What was clicked in red and what was asked in green, until the next question.
    confusion_.chosen.assign(hits.begin(), hits.end());
    confusion_.asked = objects.FindByName(quiz_.TargetName());
    confusion_.note = ConfusionText(answer.chosenText, quiz_.TargetName());
  }
  return Answered(answer, &objects);
}

std::optional<QuizReply> QuizSession::AnswerTyped(std::string_view typed,
                                                  const Objektliste* objects,
                                                  const CrossReferenceList& crossReferences) {
  if (!quiz_.Running() || quiz_.NameToStructure() || quiz_.AnswerShown()) return std::nullopt;
  if (Trimmed(typed).empty()) return std::nullopt;  // nothing typed is no answer
  const QuizAnswer answer =
      quiz_.JudgeTyped(typed, synonyms_, AtlasNames(objects, crossReferences));
  if (!answer.right) {
    // As after a wrong click: the note names what was typed and what was asked, the structure
    // asked is outlined green and, when the typed name is another structure here, that one red.
    confusion_.chosen.clear();
    if (!answer.confusedWith.empty() && objects) {
      const int other = objects->FindByName(answer.confusedWith);
      if (other >= 0) confusion_.chosen.push_back(other);
    }
    confusion_.asked = quiz_.Current();
    confusion_.note = ConfusionText(answer.chosenText, quiz_.ShownName());
  }
  return Answered(answer, objects);
}

std::vector<std::string> QuizSession::AtlasNames(const Objektliste* objects,
                                                 const CrossReferenceList& crossReferences) const {
  std::vector<std::string> names;
  if (objects) {
    for (int i = 0; i < objects->Count(); ++i) names.emplace_back(objects->At(i).Name());
  }
  for (const auto& [synonym, atlasName] : synonyms_) names.push_back(atlasName);
  for (size_t i = 0; i < crossReferences.Count(); ++i) names.push_back(crossReferences.KeyAt(i));
  return names;
}

bool QuizSession::Shown(const Objektliste* objects) {
  quiz_.SetAnswerShown();
  Count(false, {}, objects);
  quiz_.Requeue();  // shown is not known: asked once more before the run is through
  return true;
}

bool QuizSession::ShowAnswer(const Objektliste* objects) {
  return !quiz_.TargetName().empty() && Shown(objects);
}

bool QuizSession::NameShown(const Objektliste* objects) {
  return quiz_.Running() && !quiz_.ShownName().empty() && Shown(objects);
}

}  // namespace ostrelin
