// The WebAssembly face of the facade: the class WebAtlas with the same calls, nothing more.
// Strings cross as UTF-8; byte arguments (file contents) may be given as Uint8Array.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include "platform/core/cp1252.h"
#include "web/core/web_atlas.h"

namespace {

using ostrelin::web::WebAtlas;

// The overlay as a Uint8ClampedArray of its own (ImageData takes it as it is); null when the size
// is refused.
emscripten::val Paint(WebAtlas& atlas, const std::string& names, int mode, int width, int height) {
  const std::string rgba = atlas.Paint(names, mode, width, height);
  if (rgba.empty()) return emscripten::val::null();
  const emscripten::val view = emscripten::val(emscripten::typed_memory_view(
      rgba.size(), reinterpret_cast<const unsigned char*>(rgba.data())));
  return emscripten::val::global("Uint8ClampedArray").new_(view);
}

// The overlay cut to what is drawn: {x, y, width, height, rgba} (rgba a Uint8ClampedArray of
// its own, empty when nothing is drawn); null when the size is refused.
emscripten::val PaintDrawn(WebAtlas& atlas, const std::string& names, int mode, int width,
                           int height) {
  const WebAtlas::DrawnOverlay drawn = atlas.PaintDrawn(names, mode, width, height);
  if (!drawn.ok) return emscripten::val::null();
  emscripten::val out = emscripten::val::object();
  out.set("x", drawn.x);
  out.set("y", drawn.y);
  out.set("width", drawn.width);
  out.set("height", drawn.height);
  const emscripten::val view = emscripten::val(emscripten::typed_memory_view(
      drawn.rgba.size(), reinterpret_cast<const unsigned char*>(drawn.rgba.data())));
  out.set("rgba", emscripten::val::global("Uint8ClampedArray").new_(view));
  return out;
}

// Bytes as a Uint8Array of their own (a std::string would cross as UTF-8 text).
emscripten::val Bytes(const std::string& bytes) {
  const emscripten::val view = emscripten::val(emscripten::typed_memory_view(
      bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data())));
  return emscripten::val::global("Uint8Array").new_(view);
}

// The quiz and the learning record (web_quiz.h), as calls of the atlas.
std::string QuizStart(WebAtlas& a, int direction, bool alternate) {
  return a.Quiz().Start(direction, alternate);
}
std::string QuizSeries(WebAtlas& a) { return a.Quiz().StartSeries(); }
std::string QuizNext(WebAtlas& a) { return a.Quiz().Next(); }
std::string QuizClick(WebAtlas& a, int x, int y, int imageHeight) {
  return a.Quiz().Click(x, y, imageHeight);
}
std::string QuizChoose(WebAtlas& a, const std::string& name) { return a.Quiz().Choose(name); }
std::string QuizTyped(WebAtlas& a, const std::string& typed) { return a.Quiz().Typed(typed); }
std::string QuizShowAnswer(WebAtlas& a) { return a.Quiz().ShowAnswer(); }
std::string QuizLeaveFullView(WebAtlas& a) { return a.Quiz().LeaveFullView(); }
std::string QuizState(WebAtlas& a) { return a.Quiz().State(); }
void QuizSeed(WebAtlas& a, unsigned seed) { a.Quiz().Seed(seed); }
void QuizToday(WebAtlas& a, int year, int month, int day) { a.Quiz().SetToday(year, month, day); }
void LearningLoad(WebAtlas& a, const std::string& bytes) { a.Quiz().LoadRecord(bytes); }
emscripten::val LearningBytes(WebAtlas& a) { return Bytes(a.Quiz().RecordBytes()); }
std::string LearningMerge(WebAtlas& a, const std::string& bytes) {
  return a.Quiz().MergeRecord(bytes);
}
std::string LearningState(WebAtlas& a) { return a.Quiz().LearningState(); }

// A data-relative path given in UTF-8 as the manifest keys it.
std::string ManifestKey(const std::string& path) {
  return ostrelin::web::ManifestKey(ostrelin::Utf8ToCp1252(path));
}

}  // namespace

EMSCRIPTEN_BINDINGS(ostrelin) {
  emscripten::function("manifestKey", &ManifestKey);
  emscripten::class_<WebAtlas>("WebAtlas")
      .constructor<std::string>()
      .function("loadLists", &WebAtlas::LoadLists)
      .function("putFile", &WebAtlas::PutFile)
      .function("setPictogramSize", &WebAtlas::SetPictogramSize)
      .function("start", &WebAtlas::Start)
      .function("request", &WebAtlas::Request)
      .function("command", &WebAtlas::Command)
      .function("menus", &WebAtlas::Menus)
      .function("bookmarkText", &WebAtlas::BookmarkText)
      .function("addBookmarkText", &WebAtlas::AddBookmarkText)
      .function("page", &WebAtlas::Page)
      .function("pagesOfStructure", &WebAtlas::PagesOfStructure)
      .function("crossReferences", &WebAtlas::CrossReferences)
      .function("loadOutline", &WebAtlas::LoadOutline)
      .function("hitTest", &WebAtlas::HitTest)
      .function("findStructure", &WebAtlas::FindStructure)
      .function("paint", &Paint)
      .function("paintDrawn", &PaintDrawn)
      .function("pictureInfo", &WebAtlas::PictureInfo)
      .function("contextMenu", &WebAtlas::ContextMenu)
      .function("stepOrder", &WebAtlas::StepOrder)
      .function("stepFrom", &WebAtlas::StepFrom)
      .function("text", &WebAtlas::Text)
      .function("indexNames", &WebAtlas::IndexNames)
      .function("search", &WebAtlas::Search)
      .function("moveSelection", &WebAtlas::MoveSelection)
      .function("synonyms", &WebAtlas::Synonyms)
      .function("navSelect", &WebAtlas::NavSelect)
      .function("navCommand", &WebAtlas::NavCommand)
      .function("navPick", &WebAtlas::NavPick)
      .function("navPicture", &WebAtlas::NavPicture)
      .function("quizStart", &QuizStart)
      .function("quizSeries", &QuizSeries)
      .function("quizNext", &QuizNext)
      .function("quizClick", &QuizClick)
      .function("quizChoose", &QuizChoose)
      .function("quizTyped", &QuizTyped)
      .function("quizShowAnswer", &QuizShowAnswer)
      .function("quizLeaveFullView", &QuizLeaveFullView)
      .function("quizState", &QuizState)
      .function("quizSeed", &QuizSeed)
      .function("quizToday", &QuizToday)
      .function("learningLoad", &LearningLoad)
      .function("learningBytes", &LearningBytes)
      .function("learningMerge", &LearningMerge)
      .function("learningState", &LearningState);
}
