#include "platform/core/design_scale.h"

namespace ostrelin {

DesignScale& CurrentDesignScale() {
  static DesignScale scale;
  return scale;
}

}  // namespace ostrelin
