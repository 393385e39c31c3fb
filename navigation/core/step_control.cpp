#include "navigation/core/step_control.h"

namespace ostrelin {

int StepControl::SetPos(int value) {
  const int previous = position_;
  if (minimum_ <= value && value <= maximum_) position_ = value;
  return previous;
}

void StepControl::SetRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
}

// The arithmetic is widened so that no position, however set, can overflow.
void StepControl::StepUp() {
  const long next = long(position_) + 1;
  position_ = next > maximum_ ? minimum_ : int(next);
}

void StepControl::StepDown() {
  const long next = long(position_) - 1;
  position_ = next < minimum_ ? maximum_ : int(next);
}

}  // namespace ostrelin
