#pragma once
// The hourglass cursor shown while the atlas works.
//
// There is one remembered cursor and no nesting count: switching on remembers the cursor shown at
// that moment and shows the hourglass; switching off shows the remembered cursor again, or the
// arrow when none was ever remembered. An inner on/off pair inside an outer one therefore leaves
// the hourglass remembered, and the outer off shows the hourglass until the next mouse move lets
// the windows choose their own cursors again.

#include <optional>

namespace ostrelin {

enum class CursorShape { Arrow, Wait, NotAllowed, Hand, Custom };

class CursorService {
 public:
  virtual ~CursorService() = default;
  virtual CursorShape Current() const = 0;
  // Shows `shape` now. A shape shown by WaitCursor(off) lasts until the next mouse move.
  virtual void Show(CursorShape shape, bool untilMouseMoves) = 0;
};

class WaitCursor {
 public:
  explicit WaitCursor(CursorService& cursors) : cursors_(cursors) {}

  void operator()(bool on) {
    if (on) {
      remembered_ = cursors_.Current();
      cursors_.Show(CursorShape::Wait, false);
    } else {
      cursors_.Show(remembered_.value_or(CursorShape::Arrow), true);
    }
  }

 private:
  CursorService& cursors_;
  std::optional<CursorShape> remembered_;
};

}  // namespace ostrelin
