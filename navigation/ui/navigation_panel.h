#pragma once
// The navigation panel beside the image window: the pictogram of a body region with its plane
// lines over the upper three quarters, and below it the region buttons, the sex button, the arrows
// of the step control and the confirm button. It tells the main window about planes through the
// transfer buffer (9059 selected, 9034 open) and asks it to switch to the index (9024) on a right
// click. All decisions are NavigationState's; this widget translates events and paints.

#include <QImage>
#include <QWidget>
#include <string>

#include "navigation/core/navigation_state.h"
#include "shell/core/views.h"

namespace ostrelin {

class PictureButton;
class StepControlWidget;

class NavigationPanel : public QWidget, public NavigationView, private NavigationWindow {
  Q_OBJECT

 public:
  static constexpr int kWindowId = 9031;

  // A panel in `parent` reading plane lists below `dataPath` (the settings' data path, ending in
  // a backslash) and sending its requests through `buffer` to `mainWindow`. The buttons are laid
  // out from the panel's size, now from `rect` and again whenever it is resized.
  NavigationPanel(QWidget* parent, std::string dataPath, TransferBuffer& buffer,
                  CommandTarget& mainWindow, const QRect& rect = QRect());

  // NavigationView
  void SelectFromPage(Sex sex, BodyRegion region, const std::string& planeName) override;
  void MarkShown(bool clear) override;

  // Tells the main window (9059) which plane is selected; it calls this when it shows the panel
  // in place of the index.
  void Announce();
  // Enables or disables the arrows and every button; the pictogram still picks planes.
  void EnableControls(bool enable);

  const NavigationState& State() const { return state_; }
  NavigationState& State() { return state_; }

  StepControlWidget* Steps() const { return steps_; }
  PictureButton* SexButton() const { return sex_; }
  PictureButton* ConfirmButton() const { return confirm_; }
  PictureButton* HeadButton() const { return head_; }
  PictureButton* TrunkButton() const { return trunk_; }
  PictureButton* ArmButton() const { return arm_; }
  PictureButton* LegButton() const { return leg_; }

  // The pictogram with its planes drawn, as the next paint stretches it onto the panel; a null
  // image while no pictogram is loaded.
  QImage PictogramWithPlanes() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  // NavigationWindow
  Size LoadPictogram(const std::string& name) override;
  void ShowSexButtonFor(Sex currentSex) override;
  void SetStepOrientation(bool horizontalPlanes) override;
  void Invalidate(bool erase) override;
  void RedrawNow() override;

  PictureButton* MakeButton(const char* caption, int commandId, const char* normal,
                            const char* pressed = "");
  void LayoutControls();

  NavigationState state_;
  QImage pictogram_;
  StepControlWidget* steps_ = nullptr;
  PictureButton* sex_ = nullptr;
  PictureButton* confirm_ = nullptr;
  PictureButton* head_ = nullptr;
  PictureButton* arm_ = nullptr;
  PictureButton* leg_ = nullptr;
  PictureButton* trunk_ = nullptr;
  int wheelAngle_ = 0;  // eighths of a degree not yet turned into a step
};

}  // namespace ostrelin
