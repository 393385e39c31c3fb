#include "web/core/web_quiz.h"

#include <algorithm>

#include "platform/core/cp1252.h"
#include "platform/core/strings.h"
#include "resources/core/ui_texts.h"
#include "structures/core/image_window_model.h"
#include "web/core/json_writer.h"

namespace ostrelin::web {
namespace t = quiz_text;

namespace {

// The record is kept by the page: "writing" it only notes that it changed.
constexpr const char* kRecordFile = "BENUTZER.LRN";

void WriteCounts(JsonWriter& w, const BoxCounts& counts) {
  w.BeginObject().Key("boxes").BeginArray();
  for (const int n : counts.inBox) w.Int(n);
  w.EndArray().Key("due").Int(counts.due).EndObject();
}

}  // namespace

WebQuiz::WebQuiz(Atlas atlas)
    : atlas_(std::move(atlas)),
      record_(
          kRecordFile,
          [this](const std::filesystem::path&, std::string_view) { return recordChanged_ = true; },
          nullptr) {
  session_.SetLearningRecord(&record_,
                             [this] { return fixedToday_ != Day{} ? fixedToday_ : SystemToday(); });
}

void WebQuiz::SetToday(int year, int month, int day) {
  const std::chrono::year_month_day date{std::chrono::year(year),
                                         std::chrono::month(unsigned(month)),
                                         std::chrono::day(unsigned(day))};
  fixedToday_ = year > 0 && date.ok() ? Day(date) : Day{};
}

std::string WebQuiz::Start(int direction, bool alternate) {
  Objektliste* objects = atlas_.outline();
  if (!session_.Start(direction, alternate, objects)) {
    QuizStep refused;
    refused.kind = QuizStep::Kind::Done;
    refused.message = t::kNoStructures;
    return Json(&refused, nullptr);
  }
  return Follow(session_.Next(objects, random_));
}

std::string WebQuiz::StartSeries() {
  session_.StartSeries(atlas_.planes());
  return Follow(session_.Next(atlas_.outline(), random_));
}

std::string WebQuiz::Next() {
  // The plane asked for may be the page shown already, for which no image loads.
  if (session_.OpeningPlane() && EqualsIgnoringCase(atlas_.currentPage(), openingPlane_)) {
    session_.PlaneOnScreen(atlas_.outline());
  }
  return Follow(session_.Next(atlas_.outline(), random_));
}

std::string WebQuiz::Follow(const QuizStep& step) {
  switch (step.kind) {
    case QuizStep::Kind::Ask:
      // The last question's marks go; the structure to be named is outlined, quietly.
      highlight_ = step.question.nameToStructure ? std::string() : step.question.name;
      break;
    case QuizStep::Kind::OpenPlane: openingPlane_ = step.plane; break;
    case QuizStep::Kind::Done:
    case QuizStep::Kind::Nothing: break;
  }
  return Json(&step, nullptr);
}

std::string WebQuiz::Click(int x, int y, int imageHeight) {
  Objektliste* objects = atlas_.outline();
  if (!objects || !session_.State().AcceptsClicks()) return Json(nullptr, nullptr);
  const HitList hits = objects->HitTest(x, imageHeight - 1 - y);
  if (hits.empty()) {
    highlight_.clear();  // a click beside every structure clears the highlight, and answers nothing
    return Json(nullptr, nullptr);
  }
  return Answer(hits, *objects);
}

std::string WebQuiz::Choose(const std::string& name) {
  Objektliste* objects = atlas_.outline();
  const int index = objects ? objects->FindByName(Utf8ToCp1252(name)) : -1;
  if (index < 0 || !session_.State().AcceptsClicks()) return Json(nullptr, nullptr);
  HitList hit;
  hit.Append(index);
  return Answer(hit, *objects);
}

std::string WebQuiz::Answer(const HitList& hits, Objektliste& objects) {
  // One structure chosen is highlighted as a click highlights it; the session judges.
  if (hits.size() == 1) highlight_ = std::string(objects.At(hits[0]).Name());
  const QuizReply reply = session_.AnswerClick(hits, objects);
  return Json(nullptr, &reply);
}

std::string WebQuiz::Typed(const std::string& typed) {
  const std::optional<QuizReply> reply =
      session_.AnswerTyped(Utf8ToCp1252(typed), atlas_.outline(), atlas_.crossReferences());
  return Json(nullptr, reply ? &*reply : nullptr);
}

std::string WebQuiz::ShowAnswer() {
  Objektliste* objects = atlas_.outline();
  if (session_.State().NameToStructure()) {
    if (session_.ShowAnswer(objects)) highlight_ = session_.State().TargetName();
  } else {
    session_.NameShown(objects);
  }
  return Json(nullptr, nullptr);
}

std::string WebQuiz::LeaveFullView() {
  JsonWriter w;
  w.BeginObject();
  if (session_.OpeningPlane()) {  // a series' plane opens inside the running quiz
    w.Key("leave").Bool(false);
    return w.EndObject().str();
  }
  const std::string result = session_.End();
  session_.ClearConfusion();
  highlight_.clear();
  w.Key("leave").Bool(true).Key("message").String(result);
  return w.EndObject().str();
}

std::string WebQuiz::State() const { return Json(nullptr, nullptr); }

void WebQuiz::ImageLoaded() {
  session_.ImageReplaced();
  session_.ImageLoaded(atlas_.outline());
  highlight_.clear();
}

void WebQuiz::LoadRecord(const std::string& bytes) {
  record_.Record().Parse(bytes);
  recordChanged_ = false;
}

std::string WebQuiz::MergeRecord(const std::string& bytes) {
  LearningRecord theirs;
  theirs.Parse(bytes);
  const int merged = record_.Record().Merge(theirs);
  if (merged > 0) recordChanged_ = true;
  JsonWriter w;
  w.BeginObject().Key("read").Int(long(theirs.Entries().size())).Key("merged").Int(merged);
  return w.EndObject().str();
}

std::string WebQuiz::LearningState() const {
  // The region's structures: those listed on the pages of the pictogram's planes.
  const std::vector<std::string> region = atlas_.regionStructures();
  const LearningRecord& record = record_.Record();
  const Day today = fixedToday_ != Day{} ? fixedToday_ : SystemToday();
  JsonWriter w;
  w.BeginObject().Key("region");
  WriteCounts(w, record.Count(today, [&](const std::string& name) {
    return std::any_of(region.begin(), region.end(),
                       [&](const std::string& r) { return EqualsIgnoringCase(r, name); });
  }));
  w.Key("atlas");
  WriteCounts(w, record.Count(today));
  w.Key("confused").BeginArray();
  for (const LearningEntry* e : record.MostConfused(10)) {
    w.BeginObject().Key("name").String(e->name).Key("wrong").Int(e->wrong);
    w.Key("with").String(e->confusedWith).EndObject();
  }
  w.EndArray().Key("entries").Int(long(record.Entries().size()));
  return w.EndObject().str();
}

std::string WebQuiz::Json(const QuizStep* step, const QuizReply* reply) const {
  const Quiz& quiz = session_.State();
  const Objektliste* objects = atlas_.outline();
  JsonWriter w;
  w.BeginObject().Key("running").Bool(quiz.Running());
  if (step) {
    static constexpr const char* kKinds[] = {"nothing", "ask", "openPlane", "done"};
    w.Key("step").Utf8(kKinds[int(step->kind)]);
    if (step->kind == QuizStep::Kind::OpenPlane) w.Key("plane").String(step->plane);
    if (step->kind == QuizStep::Kind::Done) w.Key("message").String(step->message);
  }
  w.Key("nameToStructure").Bool(quiz.NameToStructure());
  w.Key("caption").String(quiz.NameToStructure() ? t::kWhereIs : t::kNameIt);
  // The name to be found; in the other direction the name once the answer was shown.
  w.Key("name").String(quiz.NameToStructure() ? quiz.TargetName()
                       : quiz.AnswerShown()   ? quiz.ShownName()
                                              : "");
  w.Key("highlight").String(highlight_);
  w.Key("score").String(session_.Score());
  w.Key("strip").String(session_.StripText());
  w.Key("acceptsClicks").Bool(quiz.AcceptsClicks());
  w.Key("acceptsTyped")
      .Bool(quiz.Running() && !quiz.NameToStructure() && !quiz.AnswerShown() &&
            !quiz.ShownName().empty());
  w.Key("reply");
  if (reply) {
    w.BeginObject().Key("right").Bool(reply->right).Key("message").String(reply->message);
    w.EndObject();
  } else {
    w.Null();
  }
  const QuizConfusion& confusion = session_.Confusion();
  const auto nameAt = [objects](int i) {
    return objects && i >= 0 && i < objects->Count() ? std::string(objects->At(i).Name())
                                                     : std::string();
  };
  w.Key("confusion").BeginObject().Key("note").String(confusion.note);
  w.Key("chosen").BeginArray();
  for (const int i : confusion.chosen) w.String(nameAt(i));
  w.EndArray().Key("asked").String(nameAt(confusion.asked)).EndObject();
  w.Key("recordChanged").Bool(recordChanged_);
  return w.EndObject().str();
}

}  // namespace ostrelin::web
