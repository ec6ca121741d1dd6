// Predicting the next dot of a line and snapping a prediction to the nearest dot.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

#include "shading_reg.h"
#include "zero_bytes.h"

using orla::Point;

namespace {

// Callers ask for one dot; the scan keeps at most five candidates per dot wanted.
constexpr int kMostWanted = 10;

// Far beyond any squared distance of a square that could be scanned.
constexpr double kNoBound = 4.0e18;

}  // namespace

void CGetPosition::RingMasks::Fit(int newReach, std::int64_t newLeast, std::int64_t newGreatest) {
  if (reach == newReach && least == newLeast && greatest == newGreatest) return;
  reach = newReach;
  least = newLeast;
  greatest = newGreatest;
  for (int j = -reach; j <= reach; ++j) {
    std::uint64_t mask = 0;
    for (int k = 0; k <= 2 * reach; ++k) {
      const std::int64_t i = k - reach;
      const std::int64_t d2 = i * i + std::int64_t{j} * j;
      if (d2 >= least && d2 <= greatest) mask |= std::uint64_t{0x80} << (8 * k);
    }
    rows[j + reach] = mask;
  }
}

template <typename Visit>
void CGetPosition::ForEachDotInRing(int cx, int cy, double innerRadius, double outerRadius, Visit visit) const {
  const int reach = static_cast<int>(outerRadius + 0.5);
  // The ring takes an offset when i² + j², as a double, is neither below inner² nor above
  // outer² + 1; for whole numbers that is the same as lying between these two.
  const double inner2 = innerRadius * innerRadius;
  const double outer2 = outerRadius * outerRadius + 1.0;
  const auto least = inner2 > 0.0 ? static_cast<std::int64_t>(std::ceil(std::min(inner2, kNoBound))) : 0;
  const auto greatest = outer2 < kNoBound ? static_cast<std::int64_t>(std::floor(outer2)) : static_cast<std::int64_t>(kNoBound);

  const std::int64_t left = std::max<std::int64_t>(std::int64_t{cx} - reach, 0);
  const std::int64_t right = std::min<std::int64_t>(std::int64_t{cx} + reach, std::int64_t{pageWidth} - 1);
  if (left > right) return;
  const int length = static_cast<int>(right - left + 1);
  const int readable = std::max<int>(length, page->stride - static_cast<int>(left));

  if (reach >= 0 && reach <= RingMasks::kMostReach && left == cx - reach && readable >= 8) {
    // A small square not cut by the page's left edge: one word a row, the ring's masks on it.
    // Cut by the right edge, it still reads its word whole and drops what lies beyond.
    ringMasks_.Fit(reach, least, greatest);
    const std::uint64_t inside = length == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * length)) - 1;
    for (int j = -reach; j <= reach; ++j) {
      const std::int64_t y = std::int64_t{cy} + j;
      if (y < 0 || y >= pageHeight) continue;
      std::uint64_t word;
      std::memcpy(&word, page->rows[y].get() + left, sizeof word);
      const std::uint64_t ring = ringMasks_.rows[j + reach] & inside;
      for (std::uint64_t dots = orla::ZeroByteFlags(word) & ring; dots != 0; dots &= dots - 1) {
        const std::int64_t i = std::countr_zero(dots) / 8 - reach;
        if (!visit(static_cast<int>(cx + i), static_cast<int>(y), i * i + std::int64_t{j} * j)) return;
      }
    }
    return;
  }

  const std::int64_t firstI = left - cx;
  for (int j = -reach; j <= reach; ++j) {
    const std::int64_t y = std::int64_t{cy} + j;
    if (y < 0 || y >= pageHeight) continue;
    bool going = true;
    orla::ForEachZeroByte(page->rows[y].get() + left, length, readable, [&](int k) {
      const std::int64_t i = firstI + k;
      const std::int64_t d2 = i * i + std::int64_t{j} * j;
      if (d2 < least || d2 > greatest) return true;
      going = visit(static_cast<int>(cx + i), static_cast<int>(y), d2);
      return going;
    });
    if (!going) return;
  }
}

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
  const int most = 5 * wanted;
  int count = 0;
  if (wanted == 1) {
    // Ordering the candidates by distance and taking the first is keeping the first of the
    // nearest.
    std::int64_t best = 0;
    Point nearest{0, 0};
    ForEachDotInRing(cx, cy, innerRadius, outerRadius, [&](int x, int y, std::int64_t d2) {
      if (count == 0 || d2 < best) {
        best = d2;
        nearest = Point{x, y};
      }
      return ++count < most;
    });
    out[0] = nearest;
    return std::min(count, 1);
  }

  int xs[5 * kMostWanted];
  int ys[5 * kMostWanted];
  // Squared distances: they order the candidates exactly as their square roots do.
  std::int64_t distance2[5 * kMostWanted];
  ForEachDotInRing(cx, cy, innerRadius, outerRadius, [&](int x, int y, std::int64_t d2) {
    xs[count] = x;
    ys[count] = y;
    distance2[count] = d2;
    return ++count < most;
  });
  if (count <= 1) {
    out[0] = count == 1 ? Point{xs[0], ys[0]} : Point{0, 0};
    return count;
  }
  const int n = std::min(count, wanted);
  for (int p = 0; p < n; ++p) {
    for (int q = p + 1; q < count; ++q) {
      if (distance2[q] < distance2[p]) {
        std::swap(distance2[q], distance2[p]);
        std::swap(xs[q], xs[p]);
        std::swap(ys[q], ys[p]);
      }
    }
    out[p] = Point{xs[p], ys[p]};
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
    found[i] = hit ? 1 : 0;
    positions[i] = hit ? dot : predicted;
    if (hit) ++dots;
    current = positions[i];
  }
  return dots;
}
