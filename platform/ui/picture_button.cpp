#include "platform/ui/picture_button.h"

#include <QKeySequence>
#include <QPainter>

#include "platform/ui/bitmap_store.h"
#include "platform/ui/focus_frame.h"

namespace ostrelin {

PictureButton::PictureButton(const QString& caption, const QRect& rect, QWidget* parent,
                             int commandId)
    : QAbstractButton(parent), commandId_(commandId) {
  // The caption is never drawn: it names the button for assistive tools only. Its "&" must not
  // take Alt + that letter, which belongs to the menu bar's titles.
  setText(caption);
  setShortcut(QKeySequence());
  setGeometry(rect);
  FollowKeyboardUse();
  connect(this, &QAbstractButton::clicked, this, [this] { emit command(commandId_); });
}

bool PictureButton::LoadBitmaps(std::string_view normal, std::string_view pressed,
                                std::string_view focus, std::string_view disabled) {
  normal_ = pressed_ = focus_ = disabled_ = QImage();
  update();
  normal_ = LoadBitmap(normal);
  if (normal_.isNull()) return false;
  bool allLoaded = true;
  const auto loadGiven = [&allLoaded](std::string_view name, QImage& into) {
    if (name.empty()) return;
    into = LoadBitmap(name);
    if (into.isNull()) allLoaded = false;
  };
  loadGiven(pressed, pressed_);
  loadGiven(focus, focus_);
  loadGiven(disabled, disabled_);
  return allLoaded;
}

QSize PictureButton::sizeHint() const { return normal_.isNull() ? QSize() : normal_.size(); }

const QImage& PictureButton::Face() const {
  if (isDown() && !pressed_.isNull()) return pressed_;
  if (hasFocus() && !focus_.isNull()) return focus_;
  if (!isEnabled() && !disabled_.isNull()) return disabled_;
  return normal_;
}

void PictureButton::paintEvent(QPaintEvent*) {
  const QImage& face = Face();
  if (face.isNull()) return;
  QPainter painter(this);
  // A plain pixel copy stretched over the whole button, whatever its size.
  painter.drawImage(rect(), face);
  PaintFocusFrame(painter, rect(), *this, kButtonFocusInset);
}

}  // namespace ostrelin
