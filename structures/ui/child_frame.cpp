#include "structures/ui/child_frame.h"

#include <QLabel>
#include <QMouseEvent>
#include <QSizeGrip>
#include <QToolButton>

namespace ostrelin {

ChildFrame::ChildFrame(QWidget* parent, const QString& caption, bool sizable) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  setAutoFillBackground(true);
  title_ = new QLabel(caption, this);
  title_->setAutoFillBackground(true);
  QPalette palette = title_->palette();
  palette.setColor(QPalette::Window, QColor(0, 0, 128));
  palette.setColor(QPalette::WindowText, Qt::white);
  title_->setPalette(palette);
  title_->setContentsMargins(3, 0, 0, 0);
  // The title bar belongs to the frame: a press on it starts a move.
  title_->setAttribute(Qt::WA_TransparentForMouseEvents);
  closeBox_ = new QToolButton(this);
  closeBox_->setText(QStringLiteral("\u00D7"));
  closeBox_->setAutoRaise(true);
  // The close box stands on the title bar: white on its blue, also while the pointer raises it.
  QPalette boxPalette = closeBox_->palette();
  boxPalette.setColor(QPalette::Button, palette.color(QPalette::Window));
  boxPalette.setColor(QPalette::ButtonText, Qt::white);
  boxPalette.setColor(QPalette::WindowText, Qt::white);
  closeBox_->setPalette(boxPalette);
  closeBox_->setFocusPolicy(Qt::NoFocus);
  connect(closeBox_, &QToolButton::clicked, this, [this] {
    if (onClose_) {
      onClose_();
    } else {
      close();
    }
  });
  if (sizable) grip_ = new QSizeGrip(this);
}

void ChildFrame::SetContent(QWidget* content) {
  content_ = content;
  content_->setParent(this);
  content_->show();
  if (grip_) grip_->raise();
  Layout();
}

void ChildFrame::SetCaption(const QString& caption) { title_->setText(caption); }
QString ChildFrame::Caption() const { return title_->text(); }

void ChildFrame::Layout() {
  const QRect inner = contentsRect();
  title_->setGeometry(inner.left(), inner.top(), inner.width(), kTitleHeight);
  closeBox_->setGeometry(inner.right() - kTitleHeight + 1, inner.top(), kTitleHeight, kTitleHeight);
  closeBox_->raise();
  if (content_) {
    content_->setGeometry(inner.left(), inner.top() + kTitleHeight, inner.width(),
                          std::max(0, inner.height() - kTitleHeight));
  }
  if (grip_) {
    const QSize size = grip_->sizeHint();
    grip_->setGeometry(inner.right() - size.width() + 1, inner.bottom() - size.height() + 1,
                       size.width(), size.height());
    grip_->raise();
  }
}

void ChildFrame::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  Layout();
  if (onGeometry_ && isVisible()) onGeometry_();
}

void ChildFrame::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton &&
      event->position().y() < contentsRect().top() + kTitleHeight) {
    dragging_ = true;
    dragOffset_ = event->position().toPoint();
    raise();
    event->accept();
    return;
  }
  QFrame::mousePressEvent(event);
}

void ChildFrame::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) {
    move(mapToParent(event->position().toPoint()) - dragOffset_);
    event->accept();
    return;
  }
  QFrame::mouseMoveEvent(event);
}

void ChildFrame::mouseReleaseEvent(QMouseEvent* event) {
  if (dragging_) {
    dragging_ = false;
    if (onGeometry_) onGeometry_();
    event->accept();
    return;
  }
  QFrame::mouseReleaseEvent(event);
}

}  // namespace ostrelin
