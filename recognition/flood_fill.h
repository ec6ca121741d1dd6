#pragma once
// Breadth-first fill of one 8-connected dark component (value 0) of a raster of byte rows.

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

}  // namespace orla
