#include "structures/ui/overview_window.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/qt_text.h"
#include "resources/core/ui_texts.h"

namespace ostrelin {
namespace {

class OverviewCanvas : public QWidget {
 public:
  OverviewCanvas(OverviewWindow& owner) : owner_(owner) { setAttribute(Qt::WA_OpaquePaintEvent); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const OverviewCopy& copy = owner_.Copy();
    if (copy.rows <= 0 || copy.columns <= 0) return;
    // The copy is kept bottom-up like the image; the screen wants the top row first.
    const QImage bottomUp(copy.bgr.data(), copy.columns, copy.rows, copy.columns * 3,
                          QImage::Format_BGR888);
    painter.drawImage(QPoint(0, 0), bottomUp.mirrored(false, true));
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    owner_.ClickAt(p.x(), p.y());
  }

 private:
  OverviewWindow& owner_;
};

}  // namespace

OverviewWindow::OverviewWindow(QWidget* parent, JpgBild& image, std::function<void()> recentred,
                               std::function<void()> closeRequested)
    : ChildFrame(parent, ToQString(image_window_text::kOverviewBox), false),
      image_(image),
      copy_(ReduceForOverview(image.Source())),
      recentred_(std::move(recentred)) {
  setObjectName(QStringLiteral("overview"));
  SetContent(new OverviewCanvas(*this));
  SetCloseHandler(std::move(closeRequested));
  const int frame = frameWidth();
  setGeometry(100, 100, copy_.columns + 2 * frame, copy_.rows + kTitleHeight + 2 * frame);
}

void OverviewWindow::Mark(ImagePoint pixel) {
  const bool repaintAll =
      image_.MarkOverview(pixel, OverviewPixels{copy_.bgr.data(), copy_.columns, copy_.rows});
  // The copy is tiny: repainting it whole costs nothing, and every eleventh marking asks for it.
  (void)repaintAll;
  Canvas()->update();
}

void OverviewWindow::ClickAt(int x, int y) {
  const OverviewCentre centre = OverviewClickCentre(x, y, copy_.rows);
  image_.SetZoom(image_.Zoom(), centre.column, centre.row, false);
  if (recentred_) recentred_();
}

}  // namespace ostrelin
