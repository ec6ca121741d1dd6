#include "quad_region.h"

#include <algorithm>
#include <cstdint>

namespace orla {

PixelBox QuadRegion::Bounds() const {
  PixelBox box{corners_[0].x, corners_[0].y, corners_[0].x, corners_[0].y};
  for (const Point& c : corners_) {
    box.left = std::min(box.left, c.x);
    box.right = std::max(box.right, c.x);
    box.top = std::min(box.top, c.y);
    box.bottom = std::max(box.bottom, c.y);
  }
  return box;
}

bool QuadRegion::Contains(int x, int y) const {
  // Even-odd count of the edges that cross line y at or left of x. Products in 64 bits keep
  // the comparison exact for any int corners.
  bool inside = false;
  for (std::size_t i = 0; i < corners_.size(); ++i) {
    const Point& a = corners_[i];
    const Point& b = corners_[(i + 1) % corners_.size()];
    if (a.y == b.y) continue;
    const Point& top = a.y < b.y ? a : b;
    const Point& low = a.y < b.y ? b : a;
    if (y < top.y || y >= low.y) continue;
    // crossing x = top.x + (y - top.y) * (low.x - top.x) / (low.y - top.y) <= x
    const std::int64_t lhs = static_cast<std::int64_t>(y - top.y) * (static_cast<std::int64_t>(low.x) - top.x);
    const std::int64_t rhs = (static_cast<std::int64_t>(x) - top.x) * (static_cast<std::int64_t>(low.y) - top.y);
    if (lhs <= rhs) inside = !inside;
  }
  return inside;
}

}  // namespace orla
