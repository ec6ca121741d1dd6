#pragma once
// A quadrilateral region with integer corners, filled like a platform polygon region in
// alternate (even-odd) mode, so that counts of pixels inside it agree with that platform.

#include <array>

#include "point.h"

namespace orla {

struct PixelBox {
  int left = 0;
  int top = 0;
  int right = 0;   // included
  int bottom = 0;  // included
};

class QuadRegion {
 public:
  explicit QuadRegion(const std::array<Point, 4>& corners) : corners_(corners) {}

  // A box, both bounds included, that holds every pixel of the region.
  PixelBox Bounds() const;
  // The pixel (x, y) lies in the region. On a scan line the region covers, between each
  // pair of edge crossings, the pixels from the left crossing on up to, but not including,
  // the right crossing; an edge covers the lines from its upper end on, not its lower end.
  bool Contains(int x, int y) const;
  // Where the edges cross line y: for each edge that covers the line, the first pixel x at or
  // right of its crossing, in rising order. The line's pixels in the region are those from
  // crossing 0 up to (not including) crossing 1, and from crossing 2 up to crossing 3.
  struct LineCrossings {
    int count = 0;  // 0, 2 or 4
    std::array<int, 4> x{};
  };
  LineCrossings CrossingsOf(int y) const;

  const std::array<Point, 4>& corners() const { return corners_; }

 private:
  std::array<Point, 4> corners_;
};

}  // namespace orla
