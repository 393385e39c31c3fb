#pragma once
// The position counter behind the two arrow buttons of the navigation panel: the index of the
// selected plane within a range, stepping round at both ends.

namespace ostrelin {

class StepControl {
 public:
  // The position, or -1 when it lies outside the range.
  int GetPos() const { return minimum_ <= position_ && position_ <= maximum_ ? position_ : -1; }
  // Sets the position when `value` lies in the range; returns the previous position either way.
  int SetPos(int value);
  // Sets both bounds; the position is left as it is.
  void SetRange(int minimum, int maximum);

  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }

  // The upper arrow: the next plane, from the last back to the first.
  void StepUp();
  // The lower arrow: the previous plane, from the first round to the last.
  void StepDown();

 private:
  int position_ = 0;
  int minimum_ = 0;
  int maximum_ = 0;
};

}  // namespace ostrelin
