#include "navigation/core/navigation_state.h"

#include <cstdlib>
#include <utility>

#include "resources/core/string_table.h"

namespace ostrelin {
namespace {

// Pixels -> design units; a scale that is not positive (no main window size yet) counts as 1.
int ToUnits(int pixels, double factor) { return factor > 0 ? int(pixels / factor) : pixels; }
double Factor(double factor) { return factor > 0 ? factor : 1.0; }

}  // namespace

NavigationState::NavigationState(std::string dataPath, TransferBuffer& buffer,
                                 CommandTarget& mainWindow, NavigationWindow& window)
    : dataPath_(std::move(dataPath)), requests_(buffer, mainWindow), window_(window) {}

std::string NavigationState::PictogramName(Sex sex, BodyRegion region) {
  if (sex == kFemale && region == kRumpf) return LoadText(text::kPictogramFemaleTrunk);
  switch (region) {
    case kKopf: return LoadText(text::kPictogramHead);
    case kArm: return LoadText(text::kPictogramArm);
    case kBein: return LoadText(text::kPictogramLeg);
    case kRumpf: return LoadText(text::kPictogramTrunk);
    default: return LoadText(text::kPictogramOverview);
  }
}

void NavigationState::Select(Sex sex, BodyRegion region, std::string_view planeName) {
  if (!planeName.empty()) remembered_ = FindByName(planes_, planeName);

  const bool sameSex = sex == kNoSex || sex == sex_;
  const bool sameRegion = region == kNoRegion || region == region_;
  if (sameSex && sameRegion && HasPictogram()) {
    // The pictogram stays; only the selected plane may move.
    if (InList(remembered_)) {
      steps_.SetPos(remembered_);
      window_.Invalidate(false);
    }
    return;
  }

  if (region != kNoRegion) region_ = region;
  // Only the trunk has a female series. A request without a region keeps the region shown, both
  // for this rule and for the pictogram, so sex, region and pictogram always agree.
  Sex shownSex = sex;
  if (region_ != kRumpf) shownSex = kMale;
  if (shownSex != kNoSex && shownSex != sex_) {
    sex_ = shownSex;
    window_.ShowSexButtonFor(sex_);
  }

  pictogramName_ = PictogramName(sex_, region_);
  pictogramSize_ = window_.LoadPictogram(pictogramName_);
  LoadPlanes();

  if (!planeName.empty()) remembered_ = FindByName(planes_, planeName);
  if (planes_.Empty()) {
    steps_.SetRange(0, 0);
    steps_.SetPos(0);
  } else {
    steps_.SetRange(0, planes_.Count() - 1);
    steps_.SetPos(InList(remembered_) ? remembered_ : 0);
  }
  window_.Invalidate(true);
}

void NavigationState::LoadPlanes() {
  planes_ = LoadPlaneList(dataPath_, pictogramName_);
  window_.SetStepOrientation(planes_.horizontal);
}

void NavigationState::SelectFromPage(Sex sex, BodyRegion region, std::string_view planeName) {
  selectionShown_ = true;
  Select(sex, region, planeName);
}

bool NavigationState::HandleCommand(int command) {
  switch (command) {
    case kSexButton: PressSexButton(); return true;
    case kConfirmButton: OpenSelected(); return true;
    case kHeadButton: PressRegionButton(kKopf); return true;
    case kArmButton: PressRegionButton(kArm); return true;
    case kLegButton: PressRegionButton(kBein); return true;
    case kTrunkButton: PressRegionButton(kRumpf); return true;
    case kStepNotification: StepNotification(); return true;
    default: return false;
  }
}

void NavigationState::PressSexButton() {
  selectionShown_ = false;
  Select(sex_ == kMale ? kFemale : kMale, region_, {});
  Announce();
}

void NavigationState::PressRegionButton(BodyRegion region) {
  selectionShown_ = false;
  Select(sex_, region, {});
  Announce();
}

void NavigationState::StepNotification() {
  selectionShown_ = true;
  window_.RedrawNow();
  remembered_ = steps_.GetPos();
  Announce();
}

void NavigationState::PickPlaneAt(int x, int y, const DesignScale& scale) {
  selectionShown_ = true;
  const int xd = ToUnits(x, scale.horizontal);
  const int yd = ToUnits(y, scale.vertical);

  int best = pictogramSize_.height;
  int found = -1;
  const auto consider = [&](int i, int line, int at) {
    const int d = std::abs(line - at);
    if (d < best) {
      best = d;
      found = i;
    }
  };
  if (planes_.horizontal) {
    for (int i = 0; i < planes_.Count(); ++i) {
      consider(i, planes_.positions[i] * designHeight_ / 100, yd);
    }
  } else if (kLineInsetY <= yd && yd <= designHeight_ - kLineInsetY) {
    for (int i = 0; i < planes_.Count(); ++i) {
      consider(i, planes_.positions[i] * designWidth_ / 100, xd);
    }
  }
  if (best < kPickDistance) steps_.SetPos(found);

  window_.RedrawNow();
  // The remembered plane follows the step control: a click beside every line must not make a
  // plane that is neither selected nor shown the one the next MarkShown marks.
  remembered_ = steps_.GetPos();
  Announce();
}

void NavigationState::DoubleClickAt(int x, int y, const DesignScale& scale) {
  PickPlaneAt(x, y, scale);
  OpenSelected();
}

void NavigationState::RightClick() {
  selectionShown_ = true;
  requests_.Send(Command::kTogglePanel);
}

void NavigationState::Announce() {
  const int i = steps_.GetPos();
  if (InList(i)) requests_.AnnouncePage(planes_.names[i]);
}

void NavigationState::OpenSelected() {
  if (!selectionShown_) return;
  const int i = steps_.GetPos();
  mark_ = {i, region_, sex_};
  remembered_ = i;
  if (InList(i)) requests_.OpenPlane(planes_.names[i]);
}

void NavigationState::MarkShown(bool clear) {
  if (clear) {
    selectionShown_ = false;
    mark_ = Mark();
  } else {
    mark_ = {remembered_, region_, sex_};
    selectionShown_ = true;
  }
  window_.RedrawNow();
}

NavigationWindow::Size NavigationState::SetClientSize(int width, int height,
                                                      const DesignScale& scale) {
  const double h = Factor(scale.horizontal);
  const double v = Factor(scale.vertical);
  designWidth_ = int(width / h);
  designHeight_ = int(height / v * 0.75);
  return {int(designWidth_ * h), int(designHeight_ * v)};
}

int NavigationState::SelectedIndex() const {
  const int i = steps_.GetPos();
  return InList(i) ? i : -1;
}

std::string NavigationState::SelectedName() const {
  const int i = SelectedIndex();
  return i < 0 ? std::string() : planes_.names[i];
}

int NavigationState::LineOf(int index) const {
  if (index < 0) index = steps_.GetPos();
  return LinePosition(planes_, index, pictogramSize_.width, pictogramSize_.height);
}

BitmapLine NavigationState::LineAt(int position) const {
  const int w = pictogramSize_.width;
  const int h = pictogramSize_.height;
  if (planes_.horizontal) return {{kLineInsetX, position}, {w - kLineInsetX, position}};
  return {{position, kLineInsetY}, {position, h - kLineInsetY}};
}

bool NavigationState::ShownPlaneDrawn() const {
  if (!InList(mark_.index) || mark_.sex != sex_ || mark_.region != region_) return false;
  return LineOf(mark_.index) != LineOf(-1) || !selectionShown_;
}

PanelPicture NavigationState::Picture() const {
  PanelPicture picture;
  const int w = pictogramSize_.width;
  const int h = pictogramSize_.height;
  for (int i = 0; i < planes_.Count(); ++i) {
    const int p = LineOf(i);
    if (planes_.horizontal) {
      for (int x = kLineInsetX; x < w - kLineInsetX; x += kDotSpacing)
        picture.dots.push_back({x, p});
    } else {
      for (int y = kLineInsetY; y < h - kLineInsetY; y += kDotSpacing)
        picture.dots.push_back({p, y});
    }
  }
  if (ShownPlaneDrawn()) {
    picture.shownLine = LineAt(LineOf(mark_.index));
    picture.shownCaption = planes_.names[mark_.index];
  }
  // With no plane on the step control there is no line to show as selected.
  if (selectionShown_ && SelectedIndex() >= 0) picture.selectedLine = LineAt(LineOf(-1));
  picture.captionIsSelection = selectionShown_;
  picture.caption = selectionShown_ ? SelectedName() : LoadText(text::kChoosePlane);
  return picture;
}

}  // namespace ostrelin
