#include "shell/core/request_probe.h"

#include "shell/core/detached_views.h"
#include "shell/core/request_processor.h"

namespace ostrelin {
namespace {

class ProbeViews : public DetachedViews, public PageHistory {
 public:
  explicit ProbeViews(RequestOutcome& outcome) : outcome_(outcome) {}

  void Highlight(const std::string& name, int, bool, bool) override { outcome_.highlighted = name; }
  void ShowFoundOnList(const std::vector<std::string>& taggedPages) override {
    outcome_.kind = RequestOutcome::Kind::Places;
    outcome_.places = taggedPages;
  }
  void ShowTextWithName(const std::string&, bool, const std::string&, ImageType) override {
    outcome_.kind = RequestOutcome::Kind::Unknown;
  }
  void AddHistory(ImageType, const std::string&) override {}

 private:
  RequestOutcome& outcome_;
};

class NoCursors : public CursorService {
 public:
  CursorShape Current() const override { return CursorShape::Arrow; }
  void Show(CursorShape, bool) override {}
};

}  // namespace

RequestOutcome ProbeRequest(const Catalogue& catalogue, Command command, std::string_view name) {
  RequestOutcome outcome;
  ProbeViews views(outcome);
  NoCursors cursors;
  WaitCursor waitCursor(cursors);
  RequestProcessor processor(catalogue, {&views, &views, &views, &views, &views, &views},
                             {&waitCursor, nullptr, nullptr});
  processor.PostStartRequest();
  processor.ProcessStartRequest();
  outcome = RequestOutcome{};

  if (!processor.buffer().Take(name)) return outcome;
  outcome.kind = RequestOutcome::Kind::Page;  // unless the views are told otherwise
  processor.Handle(command);
  if (outcome.kind != RequestOutcome::Kind::Page) return outcome;
  outcome.page = processor.currentPage().name;
  outcome.type = processor.currentType();
  // The image on screen after the request: a page sharing the start page's image loads nothing.
  if (IsImageType(outcome.type)) outcome.imagePath = processor.lastImagePath();
  return outcome;
}

}  // namespace ostrelin
