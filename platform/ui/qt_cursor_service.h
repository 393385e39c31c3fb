#pragma once
// The cursor service on Qt's application override cursor.
//
// A shape is shown by setting (or changing) the one override cursor this service owns. A shape that
// lasts only "until the mouse moves" ends at the next mouse move anywhere in the application, when
// the override goes and every widget shows its own cursor again. The arrow is what widgets show
// by themselves, so asking for it until the mouse moves simply hands the cursor back at once.
//
// Only the override this service set is ever removed; an override cursor pushed by other code
// on top of it is not looked after.

#include <QCursor>
#include <QObject>

#include "platform/core/wait_cursor.h"

namespace ostrelin {

class QtCursorService : public QObject, public CursorService {
  Q_OBJECT

 public:
  QtCursorService() = default;
  ~QtCursorService() override;

  // The shape of this service's override cursor; the arrow when there is none.
  CursorShape Current() const override;
  void Show(CursorShape shape, bool untilMouseMoves) override;

  // The cursor shown for CursorShape::Custom (the arrow until set).
  void SetCustomCursor(const QCursor& cursor) { custom_ = cursor; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QCursor ToQCursor(CursorShape shape) const;
  void SetOverride(CursorShape shape);
  void RemoveOverride();
  void WatchMouse(bool on);

  bool overridden_ = false;
  CursorShape shape_ = CursorShape::Arrow;
  bool watching_ = false;
  QCursor custom_{Qt::ArrowCursor};
};

}  // namespace ostrelin
