#include "platform/core/runtime_random.h"

namespace ostrelin {

int RandomBelow(RuntimeRandom& random, int n) {
  const int value = random.Next();  // drawn even for a bad bound, so the sequence stays in step
  return n > 0 ? value % n : 0;
}

}  // namespace ostrelin
