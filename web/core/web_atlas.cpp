#include "web/core/web_atlas.h"

#include <algorithm>
#include <array>
#include <climits>
#include <fstream>
#include <vector>

#include "search/core/search_rules.h"
#include "hypertext/core/text_format.h"
#include "hypertext/core/text_layout.h"
#include "image/core/point_plotter.h"
#include "navigation/core/navigation_state.h"
#include "navigation/core/plane_list.h"
#include "platform/core/cp1252.h"
#include "platform/core/wait_cursor.h"
#include "resources/core/string_table.h"
#include "resources/core/text_ids.h"
#include "shell/core/bookmark_menu.h"
#include "shell/core/detached_views.h"
#include "shell/core/history_menu.h"
#include "shell/core/main_menu.h"
#include "shell/core/index_names.h"
#include "shell/core/commands.h"
#include "shell/core/request_processor.h"
#include "resources/core/ui_texts.h"
#include "structures/core/image_access.h"
#include "structures/core/image_window_model.h"
#include "structures/core/object_list.h"
#include "web/core/json_writer.h"

namespace ostrelin::web {

std::string ManifestKey(std::string_view windowsPath) {
  std::string key;
  size_t start = 0;
  while (start <= windowsPath.size()) {
    size_t end = windowsPath.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = windowsPath.size();
    const std::string_view part = windowsPath.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") {
      if (end == windowsPath.size() && key.empty() && part.empty()) break;
      if (key.empty() && part.empty() && end == 0) return {};  // absolute
      continue;
    }
    if (part == ".." || part.find(':') != std::string_view::npos) return {};
    if (!key.empty()) key += '/';
    for (const char c : part) key += char(FoldCp1252(static_cast<unsigned char>(c)));
  }
  return Cp1252ToUtf8(key);
}

namespace {

class NoCursors : public CursorService {
 public:
  CursorShape Current() const override { return CursorShape::Arrow; }
  void Show(CursorShape, bool) override {}
};

// Messages of the outline reader and of the bookmarks, kept for the page.
class NotedMessages : public MessageService {
 public:
  MessageAnswer Show(std::string_view text, MessageButtons, MessageIcon,
                     std::string_view) override {
    notes.emplace_back(text);
    return MessageAnswer::Ok;
  }
  void Beep(MessageIcon) override {}
  std::vector<std::string> notes;
};

// Plots highlight pixels into an RGBA overlay of the image, rows top-down.
class OverlayPlotter : public PointPlotter {
 public:
  // Paints into `pixels`, width x height RGBA that must be all zero; it is made so when its size
  // differs. TakeDrawn leaves it all zero again, so one buffer serves paint after paint.
  OverlayPlotter(int width, int height, std::string& pixels)
      : width_(std::max(width, 0)), height_(std::max(height, 0)), pixels_(pixels) {
    const size_t size = size_t(width_) * size_t(height_) * 4;
    if (pixels_.size() != size) pixels_.assign(size, '\0');
  }
  void PlotPoints(Bgr colour, std::span<const ImagePoint> points) override {
    for (const ImagePoint& p : points) Set(p.column, p.row, colour);
  }
  void DrawVLine(int column, int from, int to, Bgr colour) override {
    if (column < 0 || column >= width_) return;
    from = std::max(from, 0);
    to = std::min(to, height_ - 1);
    for (int row = from; row <= to; ++row) Set(column, row, colour);
  }
  // The rectangle of the set pixels, copied out row by row and cleared behind.
  WebAtlas::DrawnOverlay TakeDrawn() {
    WebAtlas::DrawnOverlay out;
    out.ok = true;
    if (left_ > right_) return out;
    out.x = left_;
    out.y = top_;
    out.width = right_ - left_ + 1;
    out.height = bottom_ - top_ + 1;
    out.rgba.reserve(size_t(out.width) * size_t(out.height) * 4);
    for (int row = top_; row <= bottom_; ++row) {
      const size_t at = (size_t(row) * size_t(width_) + size_t(left_)) * 4;
      out.rgba.append(pixels_, at, size_t(out.width) * 4);
      std::fill_n(pixels_.begin() + long(at), size_t(out.width) * 4, '\0');
    }
    return out;
  }

 private:
  void Set(int column, int row, Bgr colour) {
    if (column < 0 || column >= width_ || row < 0 || row >= height_) return;
    const int y = height_ - 1 - row;
    left_ = std::min(left_, column);
    right_ = std::max(right_, column);
    top_ = std::min(top_, y);
    bottom_ = std::max(bottom_, y);
    const size_t at = (size_t(y) * size_t(width_) + size_t(column)) * 4;
    pixels_[at] = char(colour.red);
    pixels_[at + 1] = char(colour.green);
    pixels_[at + 2] = char(colour.blue);
    pixels_[at + 3] = char(255);
  }
  int width_;
  int height_;
  std::string& pixels_;
  int left_ = INT_MAX, right_ = -1, top_ = INT_MAX, bottom_ = -1;  // of the set pixels
};

// The owner plotter of the outline list: the list paints only through DrawByName(.., into).
class NoPlotter : public PointPlotter {
 public:
  void PlotPoints(Bgr, std::span<const ImagePoint>) override {}
  void DrawVLine(int, int, int, Bgr) override {}
};

// One byte, one width unit (two, so that the middle of every non-empty segment lies inside it).
class ByteMeasurer : public TextMeasurer {
 public:
  int Width(SegmentKind, std::string_view shown) const override {
    return int(std::min<size_t>(shown.size(), INT_MAX / 8) * 2);
  }
};

}  // namespace

// The windows around the request processing, recording what they are asked to show; the main
// window's routing of commands; the navigation panel's window.
struct WebAtlas::State : DetachedViews, PageHistory, CommandTarget, NavigationWindow {
  explicit State(std::string rootFolder)
      : root(std::move(rootFolder)),
        dataPath(root + "/"),
        waitCursor(cursors),
        history(menus.history()),
        bookmarks(menus.bookmarks(), bookmarkMessages),
        quiz(WebQuiz::Atlas{[this] { return outline.get(); },
                            [this]() -> const CrossReferenceList& { return crossReferences; },
                            [this] { return navigation->Planes().names; },
                            [this] { return RegionStructures(); },
                            [this] { return processor->currentPage().name; }}) {
    const auto changed = [this] { Note(Action("menus").EndObject()); };
    history.onChanged = changed;
    bookmarks.onChanged = changed;
    Rebuild();
  }

  void Rebuild() {
    navigation.reset();
    processor.reset();
    processor = std::make_unique<RequestProcessor>(catalogue,
                                                   RequestViews{this, this, this, this, this, this},
                                                   RequestServices{&waitCursor, nullptr, nullptr});
    navigation = std::make_unique<NavigationState>(dataPath, processor->buffer(), *this, *this);
    lastHighlight.clear();
    lastText.clear();
  }

  // The structures listed on the pages of the pictogram's planes.
  std::vector<std::string> RegionStructures() const {
    const std::vector<std::string>& planes = navigation->Planes().names;
    std::vector<std::string> region;
    for (size_t i = 0; i < catalogue.LocationCount(); ++i) {
      const StructureLocation& location = catalogue.LocationAt(long(i));
      if (std::find(planes.begin(), planes.end(), location.page) != planes.end()) {
        region.push_back(location.structure);
      }
    }
    return region;
  }

  // ---- recording ----
  void Note(const JsonWriter& action) { actions.push_back(action.str()); }
  JsonWriter Action(std::string_view what) {
    JsonWriter w;
    w.BeginObject().Key("do").Utf8(what);
    return w;
  }

  void CloseLists() override { Note(Action("closeLists").EndObject()); }
  void LeaveFullView() override { Note(Action("leaveFullView").EndObject()); }
  bool LoadImage(const std::string& path, bool) override {
    JsonWriter w = Action("image");
    w.Key("path").String(path).Key("key").Utf8(ManifestKey(path));
    w.Key("outlineKey").Utf8(ManifestKey(Objektliste::OutlinePathOf(path)));
    Note(w.EndObject());
    return true;
  }
  void Highlight(const std::string& name, int mode, bool centre, bool) override {
    lastHighlight = name;
    JsonWriter w = Action("highlight");
    w.Key("name").String(name).Key("mode").Int(mode).Key("centre").Bool(centre);
    Note(w.EndObject());
  }
  void Rehighlight(int mode) override { Highlight(std::string(lastHighlight), mode, true, false); }
  void ClearHighlight(bool forget) override {
    if (forget) lastHighlight.clear();
    Note(Action("clearHighlight").Key("forget").Bool(forget).EndObject());
  }
  void ShowFoundOnList(const std::vector<std::string>& places) override {
    Note(Action("foundOn").Key("places").Strings(places).EndObject());
  }
  void ShowsPage(const std::string& page, int type) override {
    Note(Action("showsPage").Key("page").String(page).Key("type").Int(type).EndObject());
  }
  void ShowText(const std::string& name, bool visible, ImageType type) override {
    TextAction(name, visible, type, nullptr);
  }
  void ShowTextWithName(const std::string& name, bool visible, const std::string& appended,
                        ImageType type) override {
    TextAction(name, visible, type, &appended);
  }
  void TextAction(const std::string& name, bool visible, ImageType type,
                  const std::string* appended) {
    // An empty name shows the current text again.
    const std::string shown = name.empty() ? lastText : name;
    lastText = shown;
    const std::string path = TextPath("", shown, visible, type);
    JsonWriter w = Action("text");
    w.Key("name").String(shown).Key("type").Int(type).Key("visible").Bool(visible);
    w.Key("path").String(path).Key("key").Utf8(ManifestKey(path));
    if (appended) w.Key("appendName").String(*appended);
    Note(w.EndObject());
  }
  void SelectFromPage(Sex sex, BodyRegion region, const std::string& plane) override {
    navigation->SelectFromPage(sex, region, plane);
    JsonWriter w = Action("navigation");
    w.Key("sex").Int(sex).Key("region").Int(region).Key("plane").String(plane);
    Note(w.EndObject());
  }
  void MarkShown(bool clear) override {
    navigation->MarkShown(clear);
    Note(Action("markShown").Key("clear").Bool(clear).EndObject());
  }
  void SelectName(const std::string& name) override {
    JsonWriter w = Action("select");
    w.Key("name").String(name).Key("index").Int(names.FindPrefix(name));
    Note(w.EndObject());
  }
  void AddHistory(ImageType type, const std::string& page) override {
    history.AddHistory(type, page);
    JsonWriter w = Action("history");
    w.Key("type").Int(type).Key("page").String(page);
    w.Key("tag").String(std::string(HistoryTag(type)));
    Note(w.EndObject());
  }

  // ---- the main window's routing ----
  void SendCommand(int command) override {
    using C = ostrelin::Command;
    const C typed = AsCommand(command);
    if (processor->Handle(typed)) return;
    TransferBuffer& buffer = processor->buffer();
    if (history.Choose(command, buffer)) {
      Send(C::kHistoryRequest);
    } else if (bookmarks.Command(command, processor->currentType(), processor->lastRequestedName(),
                                 buffer)) {
      Send(C::kBookmarkRequest);
    } else if (typed == C::kHelpIndex || typed == C::kHelpButton || typed == C::kContextHelp) {
      // The help pages are ordinary pages of the index, shown like a page link.
      const char* page = typed == C::kContextHelp ? kContextHelpPage : kHelpOverviewPage;
      if (buffer.Take(page)) Send(C::kPageLink);
    }
    for (const std::string& note : bookmarkMessages.notes) {
      Note(Action("message").Key("text").String(note).EndObject());
    }
    bookmarkMessages.notes.clear();
  }

  std::string MenuJson() const {
    const auto items = [](JsonWriter& w, const Menu& menu) {
      w.BeginArray();
      for (const MenuItem& item : menu.items) {
        if (item.kind != MenuItem::Kind::Command) continue;
        w.BeginObject().Key("id").Int(item.id).Key("text").String(item.text);
        w.Key("enabled").Bool(item.enabled).EndObject();
      }
      w.EndArray();
    };
    JsonWriter w;
    w.BeginObject().Key("history");
    items(w, menus.menus()[MainMenu::kHistoryMenu]);
    w.Key("bookmarks");
    items(w, menus.menus()[MainMenu::kBookmarkMenu]);
    return w.EndObject().str();
  }

  // ---- the navigation panel's window ----
  Size LoadPictogram(const std::string& name) override {
    const auto it = pictograms.find(name);
    return it == pictograms.end() ? Size{} : it->second;
  }
  void ShowSexButtonFor(Sex) override {}
  void SetStepOrientation(bool) override {}
  void Invalidate(bool) override {}
  void RedrawNow() override {}

  std::string RequestResult(bool accepted) {
    JsonWriter w;
    w.BeginObject().Key("accepted").Bool(accepted);
    WriteShown(w);
    return w.EndObject().str();
  }

  std::string NavResult() {
    JsonWriter w;
    w.BeginObject();
    WriteShown(w);
    w.Key("panel").Raw(Picture());
    return w.EndObject().str();
  }

  // The actions gathered since the last answer, then what they left shown: the page, its type and
  // the image-type buttons.
  void WriteShown(JsonWriter& w) {
    w.Key("actions").BeginArray();
    for (const std::string& a : actions) w.Raw(a);
    w.EndArray();
    actions.clear();
    w.Key("page").String(processor->currentPage().name).Key("type").Int(processor->currentType());
    w.Key("buttons").BeginArray();
    for (ImageType t = 0; t < kImageTypeCount; ++t) w.Bool(IsEnabled(t));
    w.EndArray();
  }

  std::string Picture() const {
    const PanelPicture picture = navigation->Picture();
    const PlaneList& planes = navigation->Planes();
    const auto line = [](JsonWriter& w, const std::optional<BitmapLine>& l) {
      if (!l) return void(w.Null());
      w.BeginArray().Int(l->from.x).Int(l->from.y).Int(l->to.x).Int(l->to.y).EndArray();
    };
    JsonWriter w;
    w.BeginObject();
    w.Key("sex").Int(navigation->CurrentSex()).Key("region").Int(navigation->CurrentRegion());
    w.Key("pictogram").String(navigation->PictogramResource());
    w.Key("width").Int(navigation->PictogramSize().width);
    w.Key("height").Int(navigation->PictogramSize().height);
    w.Key("horizontal").Bool(planes.horizontal);
    w.Key("planes").Strings(planes.names);
    w.Key("selected").Int(navigation->SelectedIndex());
    w.Key("dots").BeginArray();
    for (const BitmapPoint& p : picture.dots) w.Int(p.x).Int(p.y);
    w.EndArray();
    w.Key("shownLine");
    line(w, picture.shownLine);
    w.Key("selectedLine");
    line(w, picture.selectedLine);
    w.Key("caption")
        .String(picture.caption)
        .Key("captionIsSelection")
        .Bool(picture.captionIsSelection);
    w.Key("shownCaption");
    if (picture.shownCaption) {
      w.String(*picture.shownCaption);
    } else {
      w.Null();
    }
    return w.EndObject().str();
  }

  std::string root;
  std::string dataPath;
  Catalogue catalogue;
  CrossReferenceList crossReferences;
  SynonymList synonyms;
  SearchNames names;
  NoCursors cursors;
  WaitCursor waitCursor;
  std::unique_ptr<RequestProcessor> processor;
  std::unique_ptr<NavigationState> navigation;
  std::map<std::string, Size> pictograms;
  std::vector<std::string> actions;
  std::string lastHighlight;
  std::string lastText;

  MainMenu menus;
  NotedMessages bookmarkMessages;
  HistoryMenu history;
  BookmarkMenu bookmarks;

  NoPlotter noPlotter;
  NotedMessages outlineMessages;
  std::unique_ptr<Objektliste> outline;
  std::string outlineBytes;
  std::string overlayPixels;  // the highlight's canvas, all zero between paints
  WebQuiz quiz;
};

WebAtlas::WebAtlas(std::string root) : state_(std::make_unique<State>(std::move(root))) {}
WebAtlas::~WebAtlas() = default;

std::string WebAtlas::LoadLists(const std::string& indexList, const std::string& structureList,
                                const std::string& crossReferences, const std::string& synonyms) {
  State& s = *state_;
  s.catalogue.Clear();
  s.catalogue.AddIndexList(indexList);
  s.catalogue.AddStructureList(structureList);
  s.crossReferences = CrossReferenceList();
  s.crossReferences.AddList(crossReferences);
  s.synonyms = SynonymList();
  s.synonyms.AddText(synonyms);
  s.names = SearchNames();
  s.names.Reserve(IndexNameCount(s.catalogue));
  ForEachIndexName(s.catalogue, [&s](const std::string& name) { s.names.Add(name); });
  s.names.RemoveDuplicates();
  s.Rebuild();
  // A typed quiz answer may use a synonym.
  SynonymPairs pairs;
  for (size_t i = 0; i < s.synonyms.Count(); ++i) {
    pairs.emplace_back(s.synonyms.Synonym(i), s.synonyms.Replacement(i));
  }
  s.quiz.SetSynonyms(std::move(pairs));
  JsonWriter w;
  w.BeginObject().Key("pages").Int(long(s.catalogue.PageCount()));
  w.Key("locations").Int(long(s.catalogue.LocationCount()));
  w.Key("crossReferences").Int(long(s.crossReferences.Count()));
  w.Key("synonyms").Int(long(s.synonyms.Count()));
  w.Key("indexNames").Int(long(s.names.Count()));
  return w.EndObject().str();
}

bool WebAtlas::PutFile(const std::string& relativePath, const std::string& bytes) {
  const std::string cp1252 = Utf8ToCp1252(relativePath);
  if (ManifestKey(cp1252).empty()) return false;
  std::string path = state_->root + "/";
  for (const char c : cp1252) path += c == '\\' ? '/' : c;
  std::filesystem::path file(Cp1252ToUtf8(path));
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out);
}

void WebAtlas::SetPictogramSize(const std::string& name, int width, int height) {
  state_->pictograms[Utf8ToCp1252(name)] = {width, height};
}

std::string WebAtlas::Start() {
  State& s = *state_;
  s.processor->PostStartRequest();
  s.processor->ProcessStartRequest();
  return s.RequestResult(true);
}

std::string WebAtlas::Request(int command, const std::string& name) {
  State& s = *state_;
  const bool accepted = s.processor->buffer().Take(Utf8ToCp1252(name));
  if (accepted) {
    s.SendCommand(command);
    // A command that is no request leaves the buffer to nobody: free it, or every later request
    // would be dropped.
    s.processor->buffer().Release();
  }
  return s.RequestResult(accepted);
}

std::string WebAtlas::Command(int command) {
  state_->SendCommand(command);
  return state_->RequestResult(true);
}

std::string WebAtlas::Menus() const { return state_->MenuJson(); }

std::string WebAtlas::BookmarkText() const { return Cp1252ToUtf8(state_->bookmarks.FileBytes()); }

void WebAtlas::AddBookmarkText(const std::string& text) {
  state_->bookmarks.AddFromFileBytes(Utf8ToCp1252(text));
  state_->actions.clear();  // the menu's change notes belong to no request
}

std::string WebAtlas::Page(const std::string& name) const {
  IndexEntry page;
  if (!state_->catalogue.FindPage(Utf8ToCp1252(name), page)) return "null";
  JsonWriter w;
  w.BeginObject().Key("name").String(page.name).Key("text").String(page.textFile);
  w.Key("images").BeginArray();
  for (ImageType t = 0; t < kImageTypeCount; ++t) {
    const std::string& file = ImageFile(page, t);
    if (file.empty()) {
      w.Null();
      continue;
    }
    const std::string path = ImageDirectory(t) + file;
    w.BeginObject().Key("path").String(path).Key("key").Utf8(ManifestKey(path));
    w.Key("outlineKey").Utf8(ManifestKey(Objektliste::OutlinePathOf(path))).EndObject();
  }
  w.EndArray();
  w.Key("defaultStructure").String(page.defaultStructure);
  w.Key("preferredType").Int(page.preferredType).Key("sex").Int(page.sex);
  w.Key("region").Int(page.region).Key("plane").String(page.planeName);
  return w.EndObject().str();
}

std::string WebAtlas::PagesOfStructure(const std::string& structure) const {
  std::vector<std::string> places;
  state_->catalogue.PagesOfStructure(Utf8ToCp1252(structure), places);
  return JsonWriter().Strings(places).str();
}

std::string WebAtlas::CrossReferences(const std::string& structure) const {
  std::string entries;
  state_->crossReferences.Lookup(Utf8ToCp1252(structure), entries);
  return JsonWriter().String(entries).str();
}

std::string WebAtlas::LoadOutline(const std::string& bytes) {
  State& s = *state_;
  s.outline.reset();
  s.outlineMessages.notes.clear();
  s.outlineBytes = bytes;  // the list keeps no view of it, but keep it while the list lives
  s.outline =
      std::make_unique<Objektliste>(s.noPlotter, OutlineBytes{s.outlineBytes}, s.outlineMessages);
  s.quiz.ImageLoaded();  // a run's questions were those of the image before
  const Objektliste& list = *s.outline;
  JsonWriter w;
  w.BeginObject().Key("title").String(list.Title()).Key("structures").BeginArray();
  for (int i = 0; i < list.Count(); ++i) {
    const Objekt& o = list.At(i);
    w.BeginObject().Key("number").Int(o.number).Key("name").String(std::string(o.Name()));
    w.Key("outlined").Bool(bool(o.outline)).EndObject();
  }
  w.EndArray();
  w.Key("markable").Bool(HasMarkableStructures(list));
  w.Key("messages").Strings(s.outlineMessages.notes);
  return w.EndObject().str();
}

std::string WebAtlas::HitTest(int x, int y, int imageHeight) {
  JsonWriter w;
  w.BeginArray();
  if (state_->outline) {
    Objektliste& list = *state_->outline;
    for (const int i : list.HitTest(x, imageHeight - 1 - y)) {
      w.BeginObject().Key("index").Int(i).Key("name").String(std::string(list.At(i).Name()));
      w.EndObject();
    }
  }
  return w.EndArray().str();
}

std::string WebAtlas::FindStructure(const std::string& names, int imageHeight) const {
  if (!state_->outline) return "null";
  const Objektliste& list = *state_->outline;
  const std::string main = MainName(Utf8ToCp1252(names));
  // An empty name never highlights: it would find the unnamed entry of an image without outlines.
  const int index = main.empty() ? -1 : list.FindByName(main);
  if (index < 0) return "null";
  const Objekt& structure = list.At(index);
  JsonWriter w;
  w.BeginObject().Key("index").Int(index).Key("name").String(std::string(structure.Name()));
  w.Key("centre");
  if (structure.outline) {
    w.BeginArray().Int(structure.outline->CentreColumn());
    w.Int(imageHeight - 1 - structure.outline->CentreRow()).EndArray();
  } else {
    w.Null();
  }
  return w.EndObject().str();
}

std::string WebAtlas::PictureInfo(const std::string& page, int imageType, const std::string& names,
                                  bool showAll, int width, int height, int textHeight) const {
  const std::string pageName = Utf8ToCp1252(page);
  const std::string highlight = Utf8ToCp1252(names);
  std::vector<std::string> drawn;
  if (state_->outline) {
    for (const std::string& name : SplitNames(highlight)) {
      if (!name.empty() && state_->outline->FindByName(name) >= 0) drawn.push_back(name);
    }
  }
  const NameBand band = LayOutNameBand(width, height, textHeight);
  const auto rect = [](JsonWriter& w, const Rect& r) {
    w.BeginArray().Int(r.left).Int(r.top).Int(r.width).Int(r.height).EndArray();
  };
  JsonWriter w;
  w.BeginObject().Key("fileName").String(PictureFileNameFor(pageName));
  w.Key("bandText").String(NameBandText(drawn, showAll, false));
  w.Key("band");
  rect(w, band.band);
  w.Key("textRect");
  rect(w, band.text);
  w.Key("description").String(ImageWindowDescription(pageName, imageType, highlight));
  return w.EndObject().str();
}

std::string WebAtlas::ContextMenu(const std::string& names, bool showAll, bool normalView,
                                  bool imageLoaded) const {
  const Objektliste* list = state_->outline.get();
  const std::string highlight = Utf8ToCp1252(names);
  // What the image window's paint and highlight status would be.
  std::vector<std::string> painted;
  std::string status = image_window_text::kNoHighlight;
  if (list) {
    const std::vector<std::string> drawn = showAll ? MarkableNames(*list) : SplitNames(highlight);
    for (const std::string& name : drawn) {
      if (!name.empty() && list->FindByName(name) >= 0) painted.push_back(name);
    }
    const std::string main = MainName(highlight);
    if (showAll || (!main.empty() && list->FindByName(main) >= 0 &&
                    highlight.find('&') != std::string::npos)) {
      status = image_window_text::kSeveralHighlighted;
    } else if (!main.empty() && list->FindByName(main) >= 0) {
      status = highlight;
    }
  }
  ContextMenuState menuState;
  menuState.paintedCount = int(painted.size());
  menuState.highlightStatus = status;
  if (painted.size() == 1) state_->crossReferences.Lookup(painted.back(), menuState.relatedNames);
  menuState.normalView = normalView;
  menuState.markableStructures = list && HasMarkableStructures(*list);
  menuState.imageLoaded = imageLoaded;
  JsonWriter w;
  w.BeginArray();
  for (const ContextMenuEntry& entry : BuildContextMenu(menuState)) {
    w.BeginObject().Key("command").Int(entry.command).Key("text").String(entry.text);
    if (entry.command >= image_cmd::kFirstRelated && entry.command <= image_cmd::kLastRelated) {
      w.Key("name").String(RelatedNameOf(menuState.relatedNames, entry.command));
    }
    w.EndObject();
  }
  return w.EndArray().str();
}

std::string WebAtlas::StepOrder() const {
  if (!state_->outline) return "[]";
  return JsonWriter().Strings(ostrelin::StepOrder(*state_->outline)).str();
}

int WebAtlas::StepFrom(const std::string& current, bool forward) const {
  if (!state_->outline) return -1;
  return ostrelin::StepFrom(ostrelin::StepOrder(*state_->outline), Utf8ToCp1252(current), forward);
}

namespace {

// The structures of `names` (UTF-8, '&' between several; empty: every markable one) onto `into`,
// then what a wrong quiz answer confused: the structures chosen outlined red, the one asked green.
void DrawNames(const Objektliste& list, const std::string& names, int mode,
               const QuizConfusion& confusion, PointPlotter& into) {
  const std::string cp1252 = Utf8ToCp1252(names);
  const std::vector<std::string> drawn = cp1252.empty() ? MarkableNames(list) : SplitNames(cp1252);
  for (const std::string& name : drawn) {
    if (!name.empty()) list.DrawByName(name, mode, into);
  }
  const auto outline = [&list, &into](int index, Bgr colour) {
    if (index >= 0 && index < list.Count() && list.At(index).outline) {
      list.At(index).outline->PaintOutline(into, colour);
    }
  };
  for (const int chosen : confusion.chosen) outline(chosen, kConfusionRed);
  outline(confusion.asked, kHighlightGreen);
}

}  // namespace

std::string WebAtlas::Paint(const std::string& names, int mode, int width, int height) const {
  if (width <= 0 || height <= 0 || long(width) * height > (1L << 26)) return {};
  std::string pixels;
  OverlayPlotter overlay(width, height, pixels);
  if (state_->outline) {
    DrawNames(*state_->outline, names, mode, state_->quiz.Confusion(), overlay);
  }
  return pixels;
}

WebAtlas::DrawnOverlay WebAtlas::PaintDrawn(const std::string& names, int mode, int width,
                                            int height) const {
  if (width <= 0 || height <= 0 || long(width) * height > (1L << 26)) return {};
  OverlayPlotter overlay(width, height, state_->overlayPixels);
  if (state_->outline) {
    DrawNames(*state_->outline, names, mode, state_->quiz.Confusion(), overlay);
  }
  return overlay.TakeDrawn();
}

std::string WebAtlas::Text(const std::string& bytes, bool found, const std::string& path) const {
  TextSource source = found ? TextSource::FromBytes(bytes)
                            : TextSource::FromBytes(MissingFileLine(Utf8ToCp1252(path)));
  const ByteMeasurer measurer;
  const LineHeights heights;
  // Wide enough that every paragraph stays one display line: the browser wraps.
  const TextLayout layout = LayOutText(source, measurer, heights, INT_MAX / 2, heights.body, true);
  JsonWriter w;
  w.BeginObject().Key("paragraphs").BeginArray();
  ScanState state;
  for (size_t i = 0; i < layout.lines.size(); ++i) {
    w.BeginObject().Key("heading").Bool(IsHeadingLine(layout.lines[i]));
    w.Key("segments").BeginArray();
    int64_t x = kLeftMargin;
    ScanLine(layout.lines[i], state, [&](const Segment& segment) {
      const int width = measurer.Width(segment.kind, segment.shown);
      w.BeginObject().Key("kind").Int(int(segment.kind)).Key("shown").String(segment.shown);
      if (IsLinkKind(segment.kind) && width > 0) {
        // The link's target as a click in the middle of this piece finds it.
        const HitResult hit =
            ostrelin::HitTest(layout, i, int(x + width / 2), 1, heights.heading, heights, measurer);
        w.Key("target").String(hit.target);
        if (segment.kind == SegmentKind::MediaLink) {
          w.Key("media").Utf8(ManifestKey(LoadText(text::kDirMultiMed) + hit.target));
        }
      }
      w.EndObject();
      x += width;
    });
    w.EndArray().EndObject();
  }
  return w.EndArray().EndObject().str();
}

std::string WebAtlas::IndexNames() const {
  JsonWriter w;
  w.BeginArray();
  for (size_t i = 0; i < state_->names.Count(); ++i) w.String(state_->names.At(i));
  return w.EndArray().str();
}

std::string WebAtlas::Search(const std::string& typed) const {
  return std::to_string(FindForText(state_->names, state_->synonyms, Utf8ToCp1252(typed)));
}

int WebAtlas::MoveSelection(int command, int selected) const {
  return ostrelin::MoveSelection(command, selected, int(state_->names.Count()));
}

std::string WebAtlas::Synonyms() const {
  JsonWriter w;
  w.BeginArray();
  for (size_t i = 0; i < state_->synonyms.Count(); ++i) {
    w.BeginArray().String(state_->synonyms.Synonym(i)).String(state_->synonyms.Replacement(i));
    w.EndArray();
  }
  return w.EndArray().str();
}

std::string WebAtlas::NavSelect(int sex, int region, const std::string& plane) {
  state_->navigation->Select(sex, region, Utf8ToCp1252(plane));
  return state_->NavResult();
}

std::string WebAtlas::NavCommand(int command) {
  NavigationState& nav = *state_->navigation;
  if (command == NavigationState::kUpperArrow || command == NavigationState::kLowerArrow) {
    if (command == NavigationState::kUpperArrow) {
      nav.Steps().StepUp();
    } else {
      nav.Steps().StepDown();
    }
    nav.StepNotification();
  } else {
    nav.HandleCommand(command);
  }
  return state_->NavResult();
}

std::string WebAtlas::NavPick(int x, int y, int width, int height, bool open) {
  NavigationState& nav = *state_->navigation;
  const DesignScale scale;
  nav.SetClientSize(width, height, scale);
  if (open) {
    nav.DoubleClickAt(x, y, scale);
  } else {
    nav.PickPlaneAt(x, y, scale);
  }
  return state_->NavResult();
}

std::string WebAtlas::NavPicture() const { return state_->Picture(); }

WebQuiz& WebAtlas::Quiz() { return state_->quiz; }

}  // namespace ostrelin::web
