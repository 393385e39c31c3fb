#pragma once
// The program's pseudo-random generator: the classic C runtime generator of the platform the atlas
// comes from (linear congruential, 15-bit results 0 to 32767). It is an object, not a global, so
// tests seed it and replay a quiz exactly.

#include <cstdint>

namespace ostrelin {

class RuntimeRandom {
 public:
  static constexpr int kMax = 32767;

  explicit RuntimeRandom(uint32_t seed = 1) : state_(seed) {}
  void Seed(uint32_t seed) { state_ = seed; }

  // Next number in 0 … 32767.
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return int((state_ >> 16) & 0x7FFF);
  }

 private:
  uint32_t state_;
};

// The generator's next number modulo n. A bound of zero or less yields 0 instead of dividing by it.
int RandomBelow(RuntimeRandom& random, int n);

}  // namespace ostrelin
