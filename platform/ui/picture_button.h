#pragma once
// A push button drawn entirely from bitmaps stretched to its rectangle: normal, pressed, focus and
// disabled faces. The caption is kept (it is the accessible name) but never painted, and it takes
// no keyboard mnemonic.

#include <QAbstractButton>
#include <QImage>
#include <string_view>

namespace ostrelin {

class PictureButton : public QAbstractButton {
  Q_OBJECT

 public:
  // A child button at `rect` (parent's coordinates) that announces a click as command(commandId).
  PictureButton(const QString& caption, const QRect& rect, QWidget* parent, int commandId);

  int CommandId() const { return commandId_; }

  // Drops the four current bitmaps and loads new ones by resource name (see BitmapStore). The
  // normal bitmap must load; each other one is loaded when its name is given. True only when
  // every given bitmap loaded. A button without a normal bitmap draws nothing.
  bool LoadBitmaps(std::string_view normal, std::string_view pressed = {},
                   std::string_view focus = {}, std::string_view disabled = {});

  QSize sizeHint() const override;

 signals:
  void command(int commandId);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // The face for the button's state: pressed, else focus, else disabled, each only when that
  // bitmap exists; otherwise the normal one.
  const QImage& Face() const;

  int commandId_;
  QImage normal_;
  QImage pressed_;
  QImage focus_;
  QImage disabled_;
};

}  // namespace ostrelin
