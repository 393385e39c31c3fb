#include "platform/ui/qt_rect.h"
#include "navigation/ui/navigation_panel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cstdlib>
#include <utility>

#include "resources/core/ui_texts.h"
#include "navigation/core/panel_layout.h"
#include "navigation/ui/step_control_widget.h"
#include "platform/core/design_scale.h"
#include "platform/ui/bitmap_store.h"
#include "platform/ui/make_font.h"
#include "platform/ui/picture_button.h"
#include "platform/ui/qt_text.h"

namespace ostrelin {
namespace {

const QColor kShownColour(0, 128, 0);
const QColor kSelectedColour(0, 0, 255);
const QColor kCaptionBackground(197, 197, 197);
constexpr int kCaptionFontHeight = 16;
constexpr QPoint kCaptionAt(5, 5);
constexpr QPoint kShownCaptionAt(5, 21);
constexpr int kWheelStep = 120;  // one notch of a mouse wheel

// A solid line two pixels wide along a row or a column of the bitmap: the row (column) of the
// line and the one above (left of) it, from its start up to its end.
void DrawWideLine(QPainter& painter, const BitmapLine& line, const QColor& colour) {
  const int x0 = std::min(line.from.x, line.to.x);
  const int y0 = std::min(line.from.y, line.to.y);
  if (line.from.y == line.to.y) {
    painter.fillRect(QRect(x0, line.from.y - 1, std::abs(line.to.x - line.from.x), 2), colour);
  } else {
    painter.fillRect(QRect(line.from.x - 1, y0, 2, std::abs(line.to.y - line.from.y)), colour);
  }
}

void DrawCaption(QPainter& painter, QPoint at, const std::string& text, const QColor& colour) {
  if (text.empty()) return;
  painter.setPen(colour);
  const QString caption = ToQString(text);
  const QRect box = painter.fontMetrics().boundingRect(caption);
  painter.drawText(QRect(at, QSize(box.width() + 2, painter.fontMetrics().height())),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
}

}  // namespace

NavigationPanel::NavigationPanel(QWidget* parent, std::string dataPath, TransferBuffer& buffer,
                                 CommandTarget& mainWindow, const QRect& rect)
    : QWidget(parent), state_(std::move(dataPath), buffer, mainWindow, *this) {
  if (rect.isValid()) setGeometry(rect);
  // Children in the order the keyboard focus visits them: the arrows first, then the lower row's
  // buttons, then the regions.
  steps_ = new StepControlWidget(state_.Steps(), QRect(), this, true);
  connect(steps_, &StepControlWidget::command, this, [this](int id) { state_.HandleCommand(id); });
  sex_ = MakeButton("&Female", NavigationState::kSexButton, "FEMALE_UP", "FEMALE_DOWN");
  confirm_ = MakeButton("&OK", NavigationState::kConfirmButton, "ENTER_UP", "ENTER_DOWN");
  head_ = MakeButton("&Kopf", NavigationState::kHeadButton, "KOPF_UP");
  trunk_ = MakeButton("&Rumpf", NavigationState::kTrunkButton, "RUMPF_UP");
  arm_ = MakeButton("&Arm", NavigationState::kArmButton, "ARM_UP");
  leg_ = MakeButton("&Bein", NavigationState::kLegButton, "BEIN_UP");
  // The captions above are the buttons' command names; screen readers get German ones.
  namespace t = navigation_text;
  const auto name = [](QWidget* widget, const char* text, const char* description) {
    widget->setAccessibleName(ToQString(text));
    widget->setAccessibleDescription(ToQString(description));
  };
  name(sex_, t::kSexName, t::kSexDescription);
  name(confirm_, t::kConfirmName, t::kConfirmDescription);
  name(head_, t::kHeadName, t::kHeadDescription);
  name(trunk_, t::kTrunkName, t::kTrunkDescription);
  name(arm_, t::kArmName, t::kArmDescription);
  name(leg_, t::kLegName, t::kLegDescription);
  setAccessibleName(ToQString(t::kPanelName));
  LayoutControls();
}

PictureButton* NavigationPanel::MakeButton(const char* caption, int commandId, const char* normal,
                                           const char* pressed) {
  auto* button = new PictureButton(QString::fromLatin1(caption), QRect(), this, commandId);
  button->setFocusPolicy(Qt::TabFocus);
  button->LoadBitmaps(normal, pressed);
  connect(button, &PictureButton::command, this, [this](int id) { state_.HandleCommand(id); });
  return button;
}

void NavigationPanel::LayoutControls() {
  const PanelLayout l = ComputePanelLayout(width(), height());
  steps_->Place(ToQRect(l.steps));
  sex_->setGeometry(ToQRect(l.sex));
  confirm_->setGeometry(ToQRect(l.confirm));
  head_->setGeometry(ToQRect(l.head));
  trunk_->setGeometry(ToQRect(l.trunk));
  arm_->setGeometry(ToQRect(l.arm));
  leg_->setGeometry(ToQRect(l.leg));
}

void NavigationPanel::SelectFromPage(Sex sex, BodyRegion region, const std::string& planeName) {
  state_.SelectFromPage(sex, region, planeName);
}

void NavigationPanel::MarkShown(bool clear) { state_.MarkShown(clear); }

void NavigationPanel::Announce() { state_.Announce(); }

void NavigationPanel::EnableControls(bool enable) {
  for (QWidget* control :
       {static_cast<QWidget*>(steps_), static_cast<QWidget*>(sex_), static_cast<QWidget*>(confirm_),
        static_cast<QWidget*>(head_), static_cast<QWidget*>(arm_), static_cast<QWidget*>(leg_),
        static_cast<QWidget*>(trunk_)}) {
    control->setEnabled(enable);
  }
}

NavigationWindow::Size NavigationPanel::LoadPictogram(const std::string& name) {
  pictogram_ = LoadBitmap(name);
  const QSize size = BitmapSize(pictogram_);
  return {size.width(), size.height()};
}

void NavigationPanel::ShowSexButtonFor(Sex currentSex) {
  if (currentSex == kFemale) {
    sex_->LoadBitmaps("MALE_UP", "MALE_DOWN");
  } else {
    sex_->LoadBitmaps("FEMALE_UP", "FEMALE_DOWN");
  }
}

void NavigationPanel::SetStepOrientation(bool horizontalPlanes) {
  steps_->SetOrientation(horizontalPlanes);
  if (isEnabled()) RedrawNow();
}

void NavigationPanel::Invalidate(bool) { update(); }

void NavigationPanel::RedrawNow() {
  if (isVisible()) {
    repaint();
  } else {
    update();
  }
}

QImage NavigationPanel::PictogramWithPlanes() const {
  if (!state_.HasPictogram()) return QImage();
  // A white bitmap that the pictogram is copied into (ANDing it into white would give the same
  // pixels), then the planes on top.
  QImage canvas(pictogram_.size(), QImage::Format_RGB32);
  canvas.fill(Qt::white);
  const PanelPicture picture = state_.Picture();
  QPainter painter(&canvas);
  painter.drawImage(0, 0, pictogram_);
  // Every plane dotted first; the shown and the selected plane are drawn over their dots.
  const QRect bounds = canvas.rect();
  for (const BitmapPoint& dot : picture.dots) {
    if (bounds.contains(dot.x, dot.y)) painter.fillRect(dot.x, dot.y, 1, 1, Qt::black);
  }
  if (picture.shownLine) DrawWideLine(painter, *picture.shownLine, kShownColour);
  if (picture.selectedLine) DrawWideLine(painter, *picture.selectedLine, kSelectedColour);
  painter.end();
  return canvas;
}

void NavigationPanel::paintEvent(QPaintEvent*) {
  if (!state_.HasPictogram()) return;
  const NavigationWindow::Size stretch =
      state_.SetClientSize(width(), height(), CurrentDesignScale());
  const QImage canvas = PictogramWithPlanes();

  QPainter painter(this);
  // A plain pixel stretch, as the pictogram's single-pixel dots must survive it.
  painter.drawImage(QRect(0, 0, stretch.width, stretch.height), canvas);

  QFont font;
  if (MakeFont(font, kCaptionFontHeight, false)) painter.setFont(font);
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(kCaptionBackground);
  const PanelPicture picture = state_.Picture();
  DrawCaption(painter, kCaptionAt, picture.caption,
              picture.captionIsSelection ? kSelectedColour : QColor(Qt::black));
  if (picture.shownCaption)
    DrawCaption(painter, kShownCaptionAt, *picture.shownCaption, kShownColour);
}

void NavigationPanel::resizeEvent(QResizeEvent*) {
  LayoutControls();
  state_.SetClientSize(width(), height(), CurrentDesignScale());
}

void NavigationPanel::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    state_.PickPlaneAt(at.x(), at.y(), CurrentDesignScale());
  } else if (event->button() == Qt::RightButton) {
    state_.RightClick();
  }
}

void NavigationPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const QPoint at = event->position().toPoint();
    state_.DoubleClickAt(at.x(), at.y(), CurrentDesignScale());
  } else {
    mousePressEvent(event);
  }
}

void NavigationPanel::wheelEvent(QWheelEvent* event) {
  // The wheel steps through the series like the arrows: its top turned away from the user (or to
  // the left, on a horizontal wheel) is the upper arrow. Where the system turns scrolling round
  // ("natural scrolling"), the event says so and the angle is turned back: the steps follow the
  // hand on the wheel, as a slider does, not the scrolled content.
  if (!steps_->isEnabled()) {
    event->ignore();
    return;
  }
  event->accept();
  const QPoint delta = event->angleDelta();
  const int angle = std::abs(delta.x()) > std::abs(delta.y()) ? delta.x() : delta.y();
  wheelAngle_ += event->inverted() ? -angle : angle;
  while (std::abs(wheelAngle_) >= kWheelStep) {
    const bool upper = wheelAngle_ > 0;
    wheelAngle_ -= upper ? kWheelStep : -kWheelStep;
    steps_->Step(upper);
  }
}

}  // namespace ostrelin
