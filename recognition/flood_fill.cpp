#include "flood_fill.h"

namespace orla {

int FloodFillComponent(FillList& fill, int seedX, int seedY, std::span<std::uint8_t* const> rows, int width,
                       int height, ComponentExtent& extent) {
  height = std::min<int>(height, static_cast<int>(rows.size()));
  auto take = [&](int x, int y) {
    if (x < 0 || x >= width || y < 0 || y >= height || rows[y][x] != 0) return false;
    rows[y][x] = 255;
    return true;
  };
  auto mark = [&](int x, int y) { rows[y][x] = 255; };
  return FillComponent(fill, seedX, seedY, extent, take, mark);
}

}  // namespace orla
