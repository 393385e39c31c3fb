#pragma once
// What a list shows of its selection while another window is active.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QColor>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <algorithm>

namespace ostrelin::test {

// While it lives, the application's palette draws inactive selections nearly white, as some
// desktop palettes do (the offscreen platform's own palette has one highlight for both states).
class PaleInactiveHighlight {
 public:
  PaleInactiveHighlight() : saved_(QApplication::palette()) {
    QPalette pale = saved_;
    pale.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0xF0, 0xF0, 0xF0));
    pale.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    QApplication::setPalette(pale);
  }
  ~PaleInactiveHighlight() { QApplication::setPalette(saved_); }
  PaleInactiveHighlight(const PaleInactiveHighlight&) = delete;
  PaleInactiveHighlight& operator=(const PaleInactiveHighlight&) = delete;

 private:
  QPalette saved_;
};

// The colour painted behind the view's current row, at its right end, while another window is
// the active one.
inline QColor SelectionColourWhileInactive(QAbstractItemView& view) {
  QWidget other;
  other.setGeometry(0, 0, 20, 20);
  other.show();
  QApplication::setActiveWindow(&other);
  QApplication::processEvents();
  EXPECT_FALSE(view.isActiveWindow());
  const QRect row = view.visualRect(view.currentIndex());
  const QImage shown = view.viewport()->grab().toImage();
  const int x = std::min(row.right(), shown.width() - 1) - 2;
  return shown.pixelColor(x, row.center().y());
}

}  // namespace ostrelin::test
