// The image window's keys: Tab and Shift+Tab step through the structures, Enter looks the one
// stepped to up (or hands it to the mode), Escape clears the highlight, the arrows and page keys
// pan; and the zoom bar and the scroll bars. Also what the window tells screen readers.
#include <QAbstractSlider>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <cstdlib>

#include "platform/ui/qt_text.h"
#include "structures/core/image_access.h"
#include "structures/ui/image_window.h"

namespace ostrelin {
namespace {

ScrollAction ToScrollAction(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return ScrollAction::LineBack;
    case QAbstractSlider::SliderSingleStepAdd: return ScrollAction::LineForward;
    case QAbstractSlider::SliderPageStepSub: return ScrollAction::PageBack;
    case QAbstractSlider::SliderPageStepAdd: return ScrollAction::PageForward;
    case QAbstractSlider::SliderMove: return ScrollAction::Thumb;
    default: return ScrollAction::Other;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Keys

bool ImageWindow::event(QEvent* event) {
  // Tab and Shift+Tab step through the structures before they would move the focus on.
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (plain && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
      const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
      if (StepStructure(forward)) return true;
    }
  }
  return QWidget::event(event);
}

void ImageWindow::focusInEvent(QFocusEvent* event) {
  // Arriving by Tab or Shift+Tab starts the stepping at the first or the last structure.
  if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) {
    stepAfresh_ = true;
  }
  update();
  QWidget::focusInEvent(event);
}

void ImageWindow::focusOutEvent(QFocusEvent* event) {
  update();
  QWidget::focusOutEvent(event);
}

bool ImageWindow::StepStructure(bool forward) {
  // While a mode takes no clicks the keys do not step either.
  if (ClicksBlocked()) return true;
  const std::vector<std::string> order =
      image_ && objects_ ? StepOrder(*objects_) : std::vector<std::string>{};
  const std::string current = stepAfresh_ ? std::string() : highlight_.StepFrom();
  int next = StepFrom(order, current, forward);
  if (next < 0) {
    // Past the last structure the focus moves on; in full view nothing else is to be seen, so
    // the stepping wraps round.
    if (normalView_ || order.empty()) {
      stepAfresh_ = true;
      return order.empty() && !normalView_;
    }
    next = forward ? 0 : int(order.size()) - 1;
  }
  stepAfresh_ = false;
  const std::string& name = order[size_t(next)];
  CloseOverlapList();
  if (!NamesShown()) {
    HighlightQuietly(name);
  } else {
    Highlight(name, kDrawOutline, true, false);
    ShowPointed(name);
  }
  return true;
}

void ImageWindow::EnterOnStructure() {
  if (!image_ || !objects_ || !highlight_.Active()) return;
  if (ModeActive()) {
    // The stepped-to structure goes to the mode as a click on it would.
    if (!mode_->TakesClicks()) return;
    const int index = objects_->FindByName(highlight_.StepFrom());
    if (index < 0) return;
    HitList hit;
    hit.Append(index);
    Highlight(std::string(objects_->At(index).Name()), kDrawOutline, false, false);
    mode_->Click(hit);
    return;
  }
  // As the context menu's first entry: the places the structure is shown on.
  Command(image_cmd::kGoToHighlighted);
}

void ImageWindow::EscapeHighlight() {
  if (ClicksBlocked()) return;
  CloseOverlapList();
  ShowPointed({});
  ClearHighlight(true);
}

void ImageWindow::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Save)) {
    if (ContextMenuAllowed()) Command(image_cmd::kSavePicture);
    event->accept();
    return;
  }
  if (event->matches(QKeySequence::Copy)) {
    if (ContextMenuAllowed()) Command(image_cmd::kCopyPicture);
    event->accept();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: EnterOnStructure(); break;
    case Qt::Key_Escape: EscapeHighlight(); break;
    case Qt::Key_PageUp: Pan(false, ScrollAction::PageBack, 0); break;
    case Qt::Key_PageDown: Pan(false, ScrollAction::PageForward, 0); break;
    case Qt::Key_Up: Pan(false, ScrollAction::LineBack, 0); break;
    case Qt::Key_Down: Pan(false, ScrollAction::LineForward, 0); break;
    case Qt::Key_Left: Pan(true, ScrollAction::LineBack, 0); break;
    case Qt::Key_Right: Pan(true, ScrollAction::LineForward, 0); break;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

// ---------------------------------------------------------------------------------------------
// Zoom and panning

void ImageWindow::ZoomBarAction(int action) {
  if (!image_) {
    zoomBar_->setSliderPosition(zoomBar_->value());
    return;
  }
  const int position = PositionOfZoom(image_->Zoom());
  const int next = ZoomBarStep(position, ToScrollAction(action), zoomBar_->sliderPosition());
  zoomBar_->setSliderPosition(next);
  if (next == position) return;
  const ImagePoint centre = image_->Centre();
  image_->SetZoom(ZoomOfPosition(next), centre.column, centre.row, false);
  update();
  RehighlightAfterMove();
}

void ImageWindow::PanAction(bool horizontal, int action) {
  QScrollBar* bar = horizontal ? horizontal_ : vertical_;
  Pan(horizontal, ToScrollAction(action), bar->sliderPosition());
  if (image_) {
    bar->setSliderPosition(
        std::abs(horizontal ? image_->HorizontalOffset() : image_->VerticalOffset()));
  }
}

void ImageWindow::Pan(bool horizontal, ScrollAction action, int thumb) {
  if (!image_) return;
  if (horizontal) {
    const int old = image_->HorizontalOffset();
    const int smallest = Client().width - int(float(image_->Width()) * image_->Zoom());
    const int next = PanOffset(old, action, thumb, smallest);
    if (next == old) return;
    image_->SetHorizontalOffset(next);
  } else {
    const int old = image_->VerticalOffset();
    const int next = PanOffset(old, action, thumb, image_->SmallestVerticalOffset());
    if (next == old) return;
    image_->SetVerticalOffset(next);
  }
  update();
  RehighlightAfterMove();
}

// ---------------------------------------------------------------------------------------------
// Screen readers

void ImageWindow::ShowsPage(const std::string& pageName, int imageType) {
  pageName_ = pageName;
  imageType_ = imageType;
  UpdateAccessibleText();
}

void ImageWindow::UpdateAccessibleText() {
  const std::string highlighted =
      highlight_.Active() && image_ ? image_->HighlightStatus() : std::string();
  setAccessibleDescription(ToQString(ImageWindowDescription(
      pageName_, imageType_, highlighted, ModeActive() ? mode_->Description() : std::string())));
}

}  // namespace ostrelin
