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

QuadRegion::LineCrossings QuadRegion::CrossingsOf(int y) const {
  LineCrossings line;
  for (std::size_t i = 0; i < corners_.size(); ++i) {
    const Point& a = corners_[i];
    const Point& b = corners_[(i + 1) % corners_.size()];
    if (a.y == b.y) continue;
    const Point& top = a.y < b.y ? a : b;
    const Point& low = a.y < b.y ? b : a;
    if (y < top.y || y >= low.y) continue;
    // The edge is crossed at or left of pixel x when (y - top.y) (low.x - top.x) <=
    // (x - top.x) (low.y - top.y): so from x = top.x + ceil of the left side over
    // (low.y - top.y) on. In 64 bits this is exact for corners anywhere near a page.
    const std::int64_t run = (static_cast<std::int64_t>(y) - top.y) * (static_cast<std::int64_t>(low.x) - top.x);
    const std::int64_t rise = static_cast<std::int64_t>(low.y) - top.y;
    const std::int64_t step = run >= 0 ? (run + rise - 1) / rise : -(-run / rise);
    // Kept in rising order as they come: there are at most four.
    int at = line.count++;
    for (; at > 0 && line.x[at - 1] > top.x + step; --at) {
      line.x[at] = line.x[at - 1];
    }
    line.x[at] = static_cast<int>(top.x + step);
  }
  return line;
}

bool QuadRegion::Contains(int x, int y) const {
  // Even-odd count of the edges that cross line y at or left of x.
  const LineCrossings line = CrossingsOf(y);
  bool inside = false;
  for (int i = 0; i < line.count; ++i) {
    if (line.x[i] <= x) inside = !inside;
  }
  return inside;
}

}  // namespace orla
