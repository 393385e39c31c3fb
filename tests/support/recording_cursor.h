#pragma once
// A CursorService that keeps every shape it is asked to show, for tests.

#include <vector>

#include "platform/core/wait_cursor.h"

namespace ostrelin::test {

class RecordingCursorService : public CursorService {
 public:
  struct Shown {
    CursorShape shape;
    bool untilMouseMoves;
  };

  CursorShape Current() const override { return current; }
  void Show(CursorShape shape, bool untilMouseMoves) override {
    current = shape;
    shown.push_back({shape, untilMouseMoves});
  }

  CursorShape current = CursorShape::Arrow;
  std::vector<Shown> shown;
};

}  // namespace ostrelin::test
