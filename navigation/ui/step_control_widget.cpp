#include "platform/ui/qt_rect.h"
#include "navigation/ui/step_control_widget.h"

#include <QKeySequence>

#include "navigation/core/navigation_state.h"
#include "resources/core/ui_texts.h"
#include "navigation/core/panel_layout.h"
#include "platform/ui/picture_button.h"
#include "platform/ui/qt_text.h"

namespace ostrelin {
namespace {}  // namespace

StepControlWidget::StepControlWidget(StepControl& counter, const QRect& rect, QWidget* parent,
                                     bool vertical)
    : QWidget(parent), counter_(counter) {
  upper_ = new PictureButton(QStringLiteral("&Up"), QRect(), this, NavigationState::kUpperArrow);
  lower_ = new PictureButton(QStringLiteral("&Down"), QRect(), this, NavigationState::kLowerArrow);
  // The captions name the buttons; they are no keyboard shortcuts.
  upper_->setShortcut(QKeySequence());
  lower_->setShortcut(QKeySequence());
  upper_->setAccessibleName(ToQString(navigation_text::kUpperName));
  upper_->setAccessibleDescription(ToQString(navigation_text::kUpperDescription));
  lower_->setAccessibleName(ToQString(navigation_text::kLowerName));
  lower_->setAccessibleDescription(ToQString(navigation_text::kLowerDescription));
  connect(upper_, &PictureButton::command, this, [this] { Step(true); });
  connect(lower_, &PictureButton::command, this, [this] { Step(false); });
  SetOrientation(vertical);
  Place(rect);
}

void StepControlWidget::Place(const QRect& rect) {
  setGeometry(rect);
  PlaceButtons();
}

void StepControlWidget::SetOrientation(bool vertical) {
  vertical_ = vertical;
  if (vertical) {
    upper_->LoadBitmaps("UP_UP", "UP_DOWN");
    lower_->LoadBitmaps("DOWN_UP", "DOWN_DOWN");
  } else {
    upper_->LoadBitmaps("LEFT_UP", "LEFT_DOWN");
    lower_->LoadBitmaps("RIGHT_UP", "RIGHT_DOWN");
  }
}

void StepControlWidget::Step(bool upper) {
  if (upper) {
    counter_.StepUp();
  } else {
    counter_.StepDown();
  }
  emit command(NavigationState::kStepNotification);
}

void StepControlWidget::resizeEvent(QResizeEvent*) { PlaceButtons(); }

void StepControlWidget::PlaceButtons() {
  const ArrowLayout arrows = ComputeArrowLayout(width(), height());
  upper_->setGeometry(ToQRect(arrows.upper));
  lower_->setGeometry(ToQRect(arrows.lower));
}

}  // namespace ostrelin
