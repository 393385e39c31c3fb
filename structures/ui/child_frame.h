#pragma once
// A small captioned window inside the image window: a title bar with the caption and a close box,
// movable by its title bar, optionally resizable from its lower right corner. The overlap list,
// the two structure lists and the overview live in one each.

#include <QFrame>
#include <QString>
#include <functional>

class QLabel;
class QToolButton;

namespace ostrelin {

class ChildFrame : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kTitleHeight = 18;

  ChildFrame(QWidget* parent, const QString& caption, bool sizable);

  // The content below the title bar; the frame owns it.
  void SetContent(QWidget* content);
  QWidget* Content() const { return content_; }
  void SetCaption(const QString& caption);
  QString Caption() const;

  // What the close box does; without a handler it closes the frame.
  void SetCloseHandler(std::function<void()> handler) { onClose_ = std::move(handler); }
  // Called after the user moved or resized the frame.
  void SetGeometryHandler(std::function<void()> handler) { onGeometry_ = std::move(handler); }

  QToolButton* CloseBox() const { return closeBox_; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Layout();

  QLabel* title_ = nullptr;
  QToolButton* closeBox_ = nullptr;
  QWidget* content_ = nullptr;
  QWidget* grip_ = nullptr;
  bool dragging_ = false;
  QPoint dragOffset_;
  std::function<void()> onClose_;
  std::function<void()> onGeometry_;
};

}  // namespace ostrelin
