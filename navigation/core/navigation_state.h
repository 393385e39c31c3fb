#pragma once
// What the navigation panel knows and decides, without a window: the sex and region shown, the
// pictogram's plane list, the step control, the selected and the shown plane, picking a plane with
// the mouse, and the requests the panel sends the main window (9059 select, 9034 open). The panel
// widget translates events into these calls and paints the PanelPicture it is given.
//
// Coordinates: the pictogram bitmap is W x H pixels; the panel measures in design units (screen
// pixels divided by the design scale). The pictogram is stretched over the panel's width and the
// upper three quarters of its height, Wd x Hd design units, which every paint records for picking.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/core/image_type.h"
#include "navigation/core/plane_list.h"
#include "navigation/core/step_control.h"
#include "platform/core/design_scale.h"
#include "shell/core/atlas_requests.h"

namespace ostrelin {

// The window side of the panel, as the state needs it.
class NavigationWindow {
 public:
  virtual ~NavigationWindow() = default;

  struct Size {
    int width = 0;
    int height = 0;
  };
  // Drops the pictogram and loads the bitmap `name`; its size, 0 x 0 when it could not be loaded
  // (the panel then has no pictogram).
  virtual Size LoadPictogram(const std::string& name) = 0;
  // The sex button shows the symbol of the sex other than `currentSex`.
  virtual void ShowSexButtonFor(Sex currentSex) = 0;
  // Arrows for a new plane list: up and down for horizontal lines, left and right for vertical
  // ones; the panel shows the new list at once.
  virtual void SetStepOrientation(bool horizontalPlanes) = 0;
  // Repaint soon; `erase` when the background must go too.
  virtual void Invalidate(bool erase) = 0;
  // Repaint now.
  virtual void RedrawNow() = 0;
};

// One pixel of the pictogram bitmap, counted from its top-left corner.
struct BitmapPoint {
  int x = 0;
  int y = 0;
  bool operator==(const BitmapPoint&) const = default;
};

struct BitmapLine {
  BitmapPoint from;
  BitmapPoint to;
  bool operator==(const BitmapLine&) const = default;
};

// What a paint puts on the pictogram and beside it.
struct PanelPicture {
  // Black single pixels of every plane's dotted line, in bitmap coordinates.
  std::vector<BitmapPoint> dots;
  // The shown plane in green and the selected plane in blue, 2 pixels wide, when drawn.
  std::optional<BitmapLine> shownLine;
  std::optional<BitmapLine> selectedLine;
  // The caption at the top: the selected plane's name in blue, or "Ebene wählen..." in black.
  std::string caption;
  bool captionIsSelection = false;
  // The shown plane's name in green below it, when the green line is drawn.
  std::optional<std::string> shownCaption;
};

class NavigationState {
 public:
  // Region and sex buttons and the step control of the panel, as command identifiers.
  static constexpr int kStepControl = 9034;
  static constexpr int kSexButton = 9036;
  static constexpr int kConfirmButton = 9037;
  static constexpr int kHeadButton = 9038;
  static constexpr int kArmButton = 9039;
  static constexpr int kLegButton = 9040;
  static constexpr int kTrunkButton = 9041;
  static constexpr int kUpperArrow = 9042;
  static constexpr int kLowerArrow = 9043;
  static constexpr int kStepNotification = 9044;

  // Where dotted and solid lines start and stop on the pictogram: 20 pixels in from the sides for
  // horizontal lines, 25 from the top and bottom for vertical ones; a dot every 4 pixels.
  static constexpr int kLineInsetX = 20;
  static constexpr int kLineInsetY = 25;
  static constexpr int kDotSpacing = 4;
  // A click picks the nearest line closer than this many design units.
  static constexpr int kPickDistance = 15;

  // `dataPath` (ending in a backslash) locates the plane lists; requests go through `buffer` to
  // `mainWindow`.
  NavigationState(std::string dataPath, TransferBuffer& buffer, CommandTarget& mainWindow,
                  NavigationWindow& window);

  // The one way sex, region and plane change. -1 keeps the sex or the region; an empty name keeps
  // the remembered plane.
  void Select(Sex sex, BodyRegion region, std::string_view planeName);
  // The main window opened a page in another way than through the panel: show its plane.
  void SelectFromPage(Sex sex, BodyRegion region, std::string_view planeName);

  // The panel's own buttons: 9036 sex, 9038 to 9041 regions, 9037 confirm, 9044 a step was made.
  // Returns false for any other identifier.
  bool HandleCommand(int command);
  void PressSexButton();
  void PressRegionButton(BodyRegion region);
  void StepNotification();

  // Left button down at client pixel (x, y) of the panel.
  void PickPlaneAt(int x, int y, const DesignScale& scale);
  // Double click: pick there, then open.
  void DoubleClickAt(int x, int y, const DesignScale& scale);
  // Right button down: the selection will be shown again; the main window switches to the index.
  void RightClick();

  // Tells the main window (9059) which plane the step control stands on.
  void Announce();
  // Asks the main window (9034) to open the selected plane, and marks it as the shown one.
  void OpenSelected();
  // The main window switched the image: the remembered plane is shown (clear false), or no plane
  // is (clear true).
  void MarkShown(bool clear);

  // Records the panel's client size for picking: Wd and Hd in design units. Returns the pixel
  // size the pictogram is stretched to.
  NavigationWindow::Size SetClientSize(int width, int height, const DesignScale& scale);
  // The planes and captions of the next paint.
  PanelPicture Picture() const;

  // The resource name of the pictogram for a sex and region (also its plane list's name).
  static std::string PictogramName(Sex sex, BodyRegion region);

  // Read access for the widget and for tests.
  Sex CurrentSex() const { return sex_; }
  BodyRegion CurrentRegion() const { return region_; }
  bool HasPictogram() const { return pictogramSize_.width > 0 && pictogramSize_.height > 0; }
  NavigationWindow::Size PictogramSize() const { return pictogramSize_; }
  const std::string& PictogramResource() const { return pictogramName_; }
  const PlaneList& Planes() const { return planes_; }
  StepControl& Steps() { return steps_; }
  const StepControl& Steps() const { return steps_; }
  int RememberedPlane() const { return remembered_; }
  bool SelectionShown() const { return selectionShown_; }
  struct Mark {
    int index = -1;
    BodyRegion region = kNoRegion;
    Sex sex = kNoSex;
    bool operator==(const Mark&) const = default;
  };
  const Mark& ShownMark() const { return mark_; }
  int DesignWidth() const { return designWidth_; }
  int DesignHeight() const { return designHeight_; }

  // The selected plane's index and name (the step control's position), "" / -1 when none.
  int SelectedIndex() const;
  std::string SelectedName() const;

 private:
  bool InList(int index) const { return 0 <= index && index < planes_.Count(); }
  int LineOf(int index) const;
  BitmapLine LineAt(int position) const;
  // Whether the shown plane gets its green line and caption on this pictogram.
  bool ShownPlaneDrawn() const;
  void LoadPlanes();

  std::string dataPath_;
  AtlasRequests requests_;
  NavigationWindow& window_;

  std::string pictogramName_;
  NavigationWindow::Size pictogramSize_;
  PlaneList planes_;
  StepControl steps_;
  Sex sex_ = kMale;
  BodyRegion region_ = kOverview;
  int remembered_ = -1;
  int designWidth_ = 0;
  int designHeight_ = 0;
  Mark mark_;
  bool selectionShown_ = true;
};

}  // namespace ostrelin
