#include "flood_fill.h"

#include <algorithm>

namespace orla {

int FloodFillComponent(FillList& fill, int seedX, int seedY, std::span<std::uint8_t* const> rows, int width,
                       int height, ComponentExtent& extent) {
  static constexpr Point kNeighbours[] = {{0, -1}, {-1, -1}, {-1, 0}, {-1, 1}, {0, 1}, {1, 1}, {1, 0}, {1, -1}};
  height = std::min<int>(height, static_cast<int>(rows.size()));
  int count = 0;
  fill[static_cast<std::size_t>(count++)] = Point{seedX, seedY};
  rows[static_cast<std::size_t>(seedY)][seedX] = 255;
  extent.count = count;
  for (int head = 0; head < count; ++head) {
    const Point p = fill[static_cast<std::size_t>(head)];
    for (const Point& d : kNeighbours) {
      const int nx = p.x + d.x;
      const int ny = p.y + d.y;
      if (nx >= 0 && nx < width && ny >= 0 && ny < height && rows[static_cast<std::size_t>(ny)][nx] == 0) {
        rows[static_cast<std::size_t>(ny)][nx] = 255;
        fill[static_cast<std::size_t>(count++)] = Point{nx, ny};
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
