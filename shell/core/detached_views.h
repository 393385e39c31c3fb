#pragma once
// Stand-ins for the main window's children until they are attached: requests are processed in
// full (the page becomes current, the history and the image-type state follow), while what would
// be drawn goes nowhere. The main window starts with these, so it runs end to end before the image
// window, the text panel, the navigation panel, the search window and the picture buttons exist.

#include <array>

#include "shell/core/views.h"

namespace ostrelin {

class DetachedViews : public ImageView,
                      public TextView,
                      public NavigationView,
                      public SearchView,
                      public ImageTypeButtons {
 public:
  void CloseLists() override {}
  void LeaveFullView() override {}
  bool LoadImage(const std::string&, bool) override { return false; }
  void Highlight(const std::string&, int, bool, bool) override {}
  void Rehighlight(int) override {}
  void ClearHighlight(bool) override {}
  void ShowFoundOnList(const std::vector<std::string>&) override {}

  void ShowText(const std::string&, bool, ImageType) override {}
  void ShowTextWithName(const std::string&, bool, const std::string&, ImageType) override {}

  void SelectFromPage(Sex, BodyRegion, const std::string&) override {}
  void MarkShown(bool) override {}

  void SelectName(const std::string&) override {}

  // The buttons keep their state: which one is enabled decides the image type of a request.
  void SetEnabled(ImageType type, bool enabled) override {
    if (IsImageType(type)) enabled_[size_t(type)] = enabled;
  }
  bool IsEnabled(ImageType type) const override {
    return IsImageType(type) && enabled_[size_t(type)];
  }

 private:
  std::array<bool, kImageTypeCount> enabled_{};
};

}  // namespace ostrelin
