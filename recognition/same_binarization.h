#pragma once
// Whether two thresholds make the same black and white page: no pixel lies between them.

#include <algorithm>
#include <cstdint>

#include "halvo_pic.h"

namespace orla {

inline bool SameBinarization(const CHalvoPic& pic, int a, int b) {
  const int low = std::min(a, b);
  const int high = std::max(a, b);
  for (int y = 0; y < pic.height; ++y) {
    const std::uint8_t* row = pic.rows[y].get();
    if (std::any_of(row, row + pic.width, [&](std::uint8_t v) { return v >= low && v < high; })) return false;
  }
  return true;
}

}  // namespace orla
