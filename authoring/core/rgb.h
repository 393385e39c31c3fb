#pragma once
// A flat colour of a label or a drawing, 8 bits a channel.

#include <cstdint>

namespace ostrelin {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

}  // namespace ostrelin
