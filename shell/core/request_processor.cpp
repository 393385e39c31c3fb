#include "shell/core/request_processor.h"

#include <cassert>
#include <vector>

#include "platform/core/strings.h"
#include "shell/core/commands.h"
#include "resources/core/ui_texts.h"

namespace ostrelin {
namespace {

// Highlights requested by the request processing draw outlines.
constexpr int kOutlines = 0;

[[maybe_unused]] bool HasEveryView(const RequestViews& views) {
  return views.image && views.text && views.navigation && views.search && views.buttons &&
         views.history;
}

}  // namespace

RequestProcessor::RequestProcessor(const Catalogue& catalogue, const RequestViews& views,
                                   const RequestServices& services)
    : catalogue_(catalogue), views_(views), services_(services), lastImagePath_(kFirstImagePath) {
  assert(HasEveryView(views_) && services_.waitCursor);
}

void RequestProcessor::SetViews(const RequestViews& views) {
  assert(HasEveryView(views));
  views_ = views;
}

bool RequestProcessor::Handle(Command command) {
  switch (command) {
    case Command::kOpenPlane:
    case Command::kPageLink:
    case Command::kGoToPlace:
    case Command::kHistoryRequest:
    case Command::kBookmarkRequest:
    case Command::kSearchOpen:
      StopMedia();
      ProcessRequest(command);
      return true;
    case Command::kShowSchnitt:
    case Command::kShowCT:
    case Command::kShowMR:
    case Command::kShowSchema: ShowImageOfType(command); return true;
    case Command::kAnnouncePage: AnnouncePage(); return true;
    case Command::kStructureHighlighted: SelectInSearchWindow(); return true;
    case Command::kStructureLink: ChangeStructure(); return true;
    default: return false;
  }
}

void RequestProcessor::PostStartRequest() {
  buffer_.SetName(kStartPage);
  buffer_.busy = true;
  buffer_.structureToSelect.clear();
  buffer_.requestedType = kNoImageType;
  currentType_ = kNoImageType;
}

void RequestProcessor::ProcessStartRequest() {
  StopMedia();
  ProcessRequest(Command::kNone);
}

void RequestProcessor::ProcessRequest(Command command) {
  WaitCursor& waitCursor = *services_.waitCursor;
  waitCursor(true);
  WaitMessage(true);
  views_.image->CloseLists();
  if (buffer_.busy) {
    SplitPageTag();
    lastRequestedName_.assign(CutToBuffer(buffer_.name, kNameBuffer));
    if (catalogue_.FindPage(buffer_.name, currentPage_)) {
      ShowFoundPage(command);
    } else {
      ShowStructure();
    }
    buffer_.Release();
  }
  WaitMessage(false);
  waitCursor(false);
}

void RequestProcessor::SplitPageTag() {
  // Every sender may name a page with its image type ("Kopf axial +70 mm (MR)"): a link in a text,
  // the found-on list, the Lernstand window, a bookmark. The tag is taken off here, where every
  // request passes, so no sender can forget it. A name that is a page as it stands stays whole, and
  // so does one whose plain part is no page (a structure, or a name the atlas does not know).
  const TaggedName split = Catalogue::SplitTaggedName(buffer_.name);
  if (split.type == kNoImageType) return;
  IndexEntry page;
  if (catalogue_.FindPage(buffer_.name, page) || !catalogue_.FindPage(split.name, page)) return;
  buffer_.SetName(split.name);
  buffer_.requestedType = split.type;
}

void RequestProcessor::ShowFoundPage(Command command) {
  // A copy: the windows called below may send commands of their own, and nothing they set off
  // should pull the page from under this run.
  const IndexEntry page = currentPage_;
  EnableButtonsFor(page);
  if (page.preferredType != kNoImageType) currentType_ = page.preferredType;
  // The image this page will show begins decoding on the other core while the text and the panels
  // are brought up to date; whatever of it the image step below does not load is dropped.
  struct DropUnloaded {
    ImageView& image;
    ~DropUnloaded() { image.ExpectImage({}); }
  } dropUnloaded{*views_.image};
  if (const Command show = ChooseImageCommand(); show != Command::kNone) {
    const std::string path = ChooseImage(page, show).path;
    if (!path.empty() && path != lastImagePath_) views_.image->ExpectImage(path);
  }
  if (!page.textFile.empty()) {
    views_.image->LeaveFullView();
    views_.text->ShowText(page.textFile, textVisible_, currentType_);
    pageText_ = ShownText{page.textFile, currentType_, textVisible_};
  }
  // A request from the history menu is already there; the image change below may still add it.
  if (command != Command::kHistoryRequest) views_.history->AddHistory(currentType_, page.name);
  // The panel and the search window do not follow a request they sent themselves.
  if (command != Command::kOpenPlane) {
    views_.navigation->SelectFromPage(page.sex, page.region, page.planeName);
  }
  if (command != Command::kSearchOpen && buffer_.structureToSelect.empty()) {
    views_.search->SelectName(page.name);
  }

  {
    struct Forget {  // on every way out, also when the image's load throws
      std::optional<ShownText>& text;
      ~Forget() { text.reset(); }
    } forget{pageText_};
    if (const Command show = ChooseImageCommand(); show != Command::kNone) Handle(show);
  }

  if (!buffer_.structureToSelect.empty()) {
    const std::string structure = buffer_.structureToSelect;
    views_.image->Highlight(structure, kOutlines, true, true);
    views_.search->SelectName(structure);
  } else if (!page.defaultStructure.empty()) {
    views_.image->Highlight(page.defaultStructure, kOutlines, true, true);
  } else {
    views_.image->Rehighlight(kOutlines);
  }
  buffer_.structureToSelect.clear();
  buffer_.requestedType = kNoImageType;
}

void RequestProcessor::ShowStructure() {
  const std::string requested = buffer_.name;
  std::vector<std::string> places;
  // The place of a structure names a page. When that page is missing from the page list, its name
  // is not looked up as a structure in turn: a structure list whose places lead back to
  // themselves would otherwise send the request round in circles until the stack is exhausted.
  if (!resolvingPlace_) catalogue_.PagesOfStructure(requested, places);

  if (places.size() == 1) {
    buffer_.SetStructureToSelect(requested);
    const TaggedName place = Catalogue::SplitTaggedName(places.front());
    buffer_.SetName(place.name);
    buffer_.requestedType = place.type;
    resolvingPlace_ = true;
    Handle(Command::kGoToPlace);  // shows the page before this run goes on
    resolvingPlace_ = false;
  } else if (places.size() > 1) {
    // The user picks a place from the list; it comes back as a new request, and the structure
    // waits in the buffer to be highlighted on the page chosen.
    buffer_.SetStructureToSelect(requested);
    views_.image->ShowFoundOnList(places);
  } else {
    views_.image->LeaveFullView();
    buffer_.structureToSelect.clear();
    buffer_.requestedType = kNoImageType;
    views_.text->ShowTextWithName(kNoObjectText, textVisible_, requested, currentType_);
  }
}

void RequestProcessor::ShowImageOfType(Command command) {
  StopMedia();
  currentType_ = kNoImageType;
  WaitMessage(true);

  const IndexEntry page = currentPage_;
  const auto [type, path] = ChooseImage(page, command);
  if (IsImageType(type)) currentType_ = type;

  if (!path.empty()) views_.image->ShowsPage(page.name, type);
  // Two pages that share an image file show it without loading it again; pressing the button of the
  // type already shown does nothing.
  if (!path.empty() && path != lastImagePath_) {
    lastImagePath_ = path;
    const bool onlySchema = page.imageSchnitt.empty() && page.imageMR.empty() &&
                            page.imageCT.empty() && !page.imageSchema.empty();
    views_.navigation->MarkShown(onlySchema || page.planeName.empty());
    views_.image->LoadImage(path, true);
    views_.image->Rehighlight(kOutlines);
    const bool textShown = pageText_ && pageText_->file == page.textFile &&
                           pageText_->type == currentType_ && pageText_->visible == textVisible_;
    if (!textShown) views_.text->ShowText(page.textFile, textVisible_, currentType_);
    views_.history->AddHistory(currentType_, page.name);
  }
  WaitMessage(false);
}

void RequestProcessor::AnnouncePage() {
  if (!buffer_.busy) return;
  if (catalogue_.FindPage(buffer_.name, currentPage_)) EnableButtonsFor(currentPage_);
  buffer_.Release();
}

void RequestProcessor::SelectInSearchWindow() {
  if (!buffer_.busy) return;
  const std::string name = buffer_.name;
  views_.search->SelectName(name);
  buffer_.Release();
}

void RequestProcessor::ChangeStructure() {
  if (!buffer_.busy) return;
  if (!buffer_.name.empty()) {
    const std::string name = buffer_.name;
    views_.image->ClearHighlight(false);
    views_.image->Highlight(name, kOutlines, true, false);
    views_.search->SelectName(name);
  }
  buffer_.Release();
}

void RequestProcessor::EnableButtonsFor(const IndexEntry& page) {
  for (const ImageType type : {kSchnitt, kMR, kCT, kSchema}) {
    views_.buttons->SetEnabled(type, !ImageFile(page, type).empty());
  }
}

RequestProcessor::ImageChoice RequestProcessor::ChooseImage(const IndexEntry& page,
                                                            Command command) const {
  ImageChoice choice;
  choice.type = buffer_.requestedType != kNoImageType ? buffer_.requestedType
                                                      : ImageTypeOfCommand(CommandId(command));
  // A type forced by a tagged request is shown even when the page has no image of it: the path is
  // then the directory alone, and the image window reports the missing file.
  if (IsImageType(choice.type))
    choice.path = ImageDirectory(choice.type) + ImageFile(page, choice.type);
  return choice;
}

Command RequestProcessor::ChooseImageCommand() const {
  // The type shown so far when the page has it, else the first the page has.
  if (IsImageType(currentType_) && views_.buttons->IsEnabled(currentType_)) {
    return AsCommand(ImageButtonCommand(currentType_));
  }
  for (const ImageType type : kImageTypesInOfferOrder) {
    if (views_.buttons->IsEnabled(type)) return AsCommand(ImageButtonCommand(type));
  }
  return Command::kNone;
}

void RequestProcessor::StopMedia() {
  if (services_.media) services_.media->StopMedia();
}

void RequestProcessor::WaitMessage(bool on) {
  if (services_.waitMessage) services_.waitMessage(on);
}

}  // namespace ostrelin
