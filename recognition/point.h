#pragma once
// A position on the page in whole pixels (x to the right, y downwards, (0, 0) the top-left
// pixel), or a direction as the difference of two positions.

#include <cstdint>

namespace orla {

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;

  friend bool operator==(const Point&, const Point&) = default;
};

constexpr Point operator-(Point a, Point b) { return Point{a.x - b.x, a.y - b.y}; }

}  // namespace orla
