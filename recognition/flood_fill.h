#pragma once
// Breadth-first fill of one 8-connected dark component (value 0) of a raster of byte rows.

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "point.h"

namespace orla {

// A fill stops at this many pixels; larger components are never dots.
inline constexpr int kFloodFillLimit = 5000;
using FillList = std::array<Point, kFloodFillLimit + 10>;

struct ComponentExtent {
  int count = 0;
  int minX = 0;
  int maxX = 0;
  int minY = 0;
  int maxY = 0;
};

// Fills from the seed, setting each visited pixel to 255 and listing it in `fill`. The
// caller sets the extent's box to the seed beforehand. 1 when the component was filled
// completely, 0 when the fill stopped at the limit.
int FloodFillComponent(FillList& fill, int seedX, int seedY, std::span<std::uint8_t* const> rows, int width,
                       int height, ComponentExtent& extent);

// The fill itself, over any raster: `take(x, y)` is true when (x, y) lies inside the raster,
// is dark and was not filled yet, and then marks it filled. The seed is marked by `mark`. The
// result and the extent are those of FloodFillComponent.
template <typename Take, typename Mark>
int FillComponent(FillList& fill, int seedX, int seedY, ComponentExtent& extent, Take take, Mark mark) {
  static constexpr Point kNeighbours[] = {{0, -1}, {-1, -1}, {-1, 0}, {-1, 1}, {0, 1}, {1, 1}, {1, 0}, {1, -1}};
  int count = 0;
  fill[count++] = Point{seedX, seedY};
  mark(seedX, seedY);
  extent.count = count;
  for (int head = 0; head < count; ++head) {
    const Point p = fill[head];
    for (const Point& d : kNeighbours) {
      const int nx = p.x + d.x;
      const int ny = p.y + d.y;
      if (take(nx, ny)) {
        fill[count++] = Point{nx, ny};
        extent.minX = std::min(extent.minX, nx);
        extent.maxX = std::max(extent.maxX, nx);
        extent.minY = std::min(extent.minY, ny);
        extent.maxY = std::max(extent.maxY, ny);
      }
      if (count >= kFloodFillLimit) {
        extent.count = count;
        return 0;
      }
    }
  }
  extent.count = count;
  return 1;
}

}  // namespace orla
