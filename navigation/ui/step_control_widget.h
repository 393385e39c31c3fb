#pragma once
// The step control's window: two arrow buttons stacked in one control, stepping the position
// counter of the navigation panel round its range and reporting each step to the panel.

#include <QWidget>

#include "navigation/core/step_control.h"

namespace ostrelin {

class PictureButton;

class StepControlWidget : public QWidget {
  Q_OBJECT

 public:
  // A control at `rect` of `parent` stepping `counter` (owned by the caller, who outlives it);
  // `vertical` gives up and down arrows, otherwise left and right ones.
  StepControlWidget(StepControl& counter, const QRect& rect, QWidget* parent, bool vertical);

  // Moves the control to `rect` (parent's coordinates) and fits both arrows into it; a hidden
  // control gets its resize event only when it is shown, so the panel places it through here.
  void Place(const QRect& rect);

  // Loads the arrows of an orientation: vertical for horizontal plane lines.
  void SetOrientation(bool vertical);
  bool Vertical() const { return vertical_; }

  // What a press of the upper (true) or lower arrow does: step, then tell the parent (9044).
  void Step(bool upper);

  PictureButton* UpperButton() const { return upper_; }
  PictureButton* LowerButton() const { return lower_; }

 signals:
  // The step notification for the parent.
  void command(int commandId);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlaceButtons();

  StepControl& counter_;
  PictureButton* upper_;
  PictureButton* lower_;
  bool vertical_ = true;
};

}  // namespace ostrelin
