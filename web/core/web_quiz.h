#pragma once
// The quiz ("Testat") and the learning record as the browser edition sees them: the desktop's
// QuizSession and LearningRecord behind calls that take UTF-8 and give JSON, as the quiz mode of
// the desktop's image window drives them. The page asks, shows and paints; every decision (which
// question, right or wrong, the score, the series' planes, the record's boxes) is the session's.
//
// The record lives in the browser's storage: the page hands its bytes in at start (LoadRecord),
// reads them back after an answer changed it (RecordBytes, in the file format of <user>.LRN), and
// merges a file the desktop wrote (MergeRecord).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/core/cross_reference_list.h"
#include "platform/core/runtime_random.h"
#include "quiz/core/learning_record.h"
#include "quiz/core/quiz_session.h"
#include "structures/core/object_list.h"

namespace ostrelin::web {

class WebQuiz {
 public:
  // What the quiz reads of the atlas around it, asked when needed.
  struct Atlas {
    std::function<Objektliste*()> outline;                       // the image shown's structures
    std::function<const CrossReferenceList&()> crossReferences;  // more names of the atlas
    std::function<std::vector<std::string>()> planes;            // the pictogram's planes (pages)
    std::function<std::vector<std::string>()> regionStructures;  // the structures on those planes
    std::function<std::string()> currentPage;                    // the page shown
  };

  explicit WebQuiz(Atlas atlas);

  // The synonyms a typed answer may use (the synonym list's pairs, Windows-1252).
  void SetSynonyms(SynonymPairs synonyms) { session_.SetSynonyms(std::move(synonyms)); }
  void Seed(uint32_t seed) { random_.Seed(seed); }
  // Fixes the day answers are dated by (tests); 0 goes back to the clock.
  void SetToday(int year, int month, int day);

  // ---- The run (every call returns the quiz JSON, web/README.md) -----------------------------
  // "Name --> Struktur" (direction 1), "Struktur --> Name" (0), with `alternate` "Name <-->
  // Struktur"; on the image shown.
  std::string Start(int direction, bool alternate);
  // "Ganze Serie": every plane of the pictogram, name to structure.
  std::string StartSeries();
  // "Nächste Frage", and what follows a plane opened for the series.
  std::string Next();
  // A click or tap at image pixel (x, y) from the top-left of an image `imageHeight` high.
  std::string Click(int x, int y, int imageHeight);
  // Enter on a structure stepped to (UTF-8 name): answers as a click on it alone.
  std::string Choose(const std::string& name);
  // The name typed for the structure shown (UTF-8).
  std::string Typed(const std::string& typed);
  // "Zeige Antwort" (and a long press on a touch screen).
  std::string ShowAnswer();
  // The image window leaves its full view ("Test beenden", the box, a page link): the run ends
  // with its result, unless a plane of the series is being opened.
  std::string LeaveFullView();
  std::string State() const;

  // The outline of a newly shown image was read.
  void ImageLoaded();
  bool Running() const { return session_.State().Running(); }
  const QuizConfusion& Confusion() const { return session_.Confusion(); }

  // ---- The learning record -------------------------------------------------------------------
  void LoadRecord(const std::string& bytes);
  // The record in its file's format; what changed since is noted afresh.
  std::string RecordBytes() {
    recordChanged_ = false;
    return record_.Record().Encode();
  }
  // Merges a record file's bytes: {"read": lines read, "merged": entries added or replaced}.
  std::string MergeRecord(const std::string& bytes);
  // The window "Lernstand": {"region": {boxes, due}, "atlas": {...}, "confused": [...]}.
  std::string LearningState() const;

 private:
  // What the image window does with a step: ask, open a plane, or end.
  std::string Follow(const QuizStep& step);
  std::string Json(const QuizStep* step, const QuizReply* reply) const;
  std::string Answer(const HitList& hits, Objektliste& objects);

  Atlas atlas_;
  QuizSession session_;
  RuntimeRandom random_;
  LearningRecordFile record_;
  Day fixedToday_{};
  bool recordChanged_ = false;
  std::string highlight_;     // what the image window highlights for the run
  std::string openingPlane_;  // the plane of the series being opened
};

}  // namespace ostrelin::web
