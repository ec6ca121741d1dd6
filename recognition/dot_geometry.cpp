// Predicting the next dot of a line and snapping a prediction to the nearest dot.

#include <algorithm>
#include <cmath>
#include <utility>

#include "shading_reg.h"

using orla::Point;

namespace {

// Callers ask for one dot; the scan keeps at most five candidates per dot wanted.
constexpr int kMostWanted = 10;

}  // namespace

Point CGetPosition::PointAlong(int x0, int y0, int dx, int dy, double distance) {
  if (dx == 0 && dy == 0) return Point{-1, -1};
  const double length = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
  // The bias is 0.3, not 0.5, on purpose: every prediction of the reader rounds this way.
  const double x = static_cast<double>(x0) + static_cast<double>(dx) * distance / length + 0.3;
  const double y = static_cast<double>(y0) + static_cast<double>(dy) * distance / length + 0.3;
  return Point{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
}

int CGetPosition::FindNearestDots(std::span<Point> out, int cx, int cy, double innerRadius, double outerRadius,
                                  double flag) const {
  const int wanted = std::min<int>(static_cast<int>(out.size()), kMostWanted);
  if (wanted <= 0) return 0;
  if (static_cast<int>(flag) <= 0 && wanted == 1 && cx > 0 && cy >= 0 && IsDot(cx, cy)) {
    out[0] = Point{cx, cy};
    return 1;
  }
  std::array<Point, 5 * kMostWanted> found;
  std::array<double, 5 * kMostWanted> distance;
  int count = 0;
  const int reach = static_cast<int>(outerRadius + 0.5);
  const double inner2 = innerRadius * innerRadius;
  const double outer2 = outerRadius * outerRadius + 1.0;
  for (int j = -reach; j <= reach; ++j) {
    for (int i = -reach; i <= reach; ++i) {
      const double d2 = static_cast<double>(i * i + j * j);
      if (d2 < inner2 || d2 > outer2 || !IsDot(cx + i, cy + j) || count >= 5 * wanted) continue;
      found[static_cast<std::size_t>(count)] = Point{cx + i, cy + j};
      distance[static_cast<std::size_t>(count)] = std::sqrt(d2);
      ++count;
    }
  }
  if (count <= 1) {
    out[0] = count == 1 ? found[0] : Point{0, 0};
    return count;
  }
  const int n = std::min(count, wanted);
  for (int p = 0; p < n; ++p) {
    for (int q = p + 1; q < count; ++q) {
      if (distance[static_cast<std::size_t>(q)] < distance[static_cast<std::size_t>(p)]) {
        std::swap(distance[static_cast<std::size_t>(q)], distance[static_cast<std::size_t>(p)]);
        std::swap(found[static_cast<std::size_t>(q)], found[static_cast<std::size_t>(p)]);
      }
    }
    out[static_cast<std::size_t>(p)] = found[static_cast<std::size_t>(p)];
  }
  return n;
}

bool CGetPosition::FindDot(Point centre, double radius, Point& dot) const {
  std::array<Point, 1> nearest;
  if (FindNearestDots(nearest, centre.x, centre.y, 0.0, radius, 0.0) <= 0) return false;
  dot = nearest[0];
  return true;
}

int CShadingReg::FollowDotLine(int steps, std::span<Point> positions, std::span<std::uint8_t> found, Point start,
                               Point direction, double step, double radius) const {
  if (steps >= 50) return -1;
  steps = std::min<int>(steps, static_cast<int>(std::min(positions.size(), found.size())));
  int dots = 0;
  Point current = start;
  for (int i = 0; i < steps; ++i) {
    const Point predicted = PointAlong(current, direction, step);
    Point dot;
    const bool hit = FindDot(predicted, radius, dot);
    found[static_cast<std::size_t>(i)] = hit ? 1 : 0;
    positions[static_cast<std::size_t>(i)] = hit ? dot : predicted;
    if (hit) ++dots;
    current = positions[static_cast<std::size_t>(i)];
  }
  return dots;
}
