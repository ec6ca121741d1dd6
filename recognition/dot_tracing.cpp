// Following a row of dots. A missing dot is bridged by its predicted position; misses at the
// end of a walk are dropped again, and leave the miss count with them.

#include <algorithm>

#include "get_position.h"

using orla::Point;

namespace {

// Room for any walk; a run uses at most 12 of it.
constexpr int kWalkRoom = 50;

struct Walk {
  std::array<Point, kWalkRoom> positions;
  int count = 0;
  int misses = 0;
  int trailingMisses = 0;

  void Add(Point p, bool found) {
    positions[count++] = p;
    if (found) {
      trailingMisses = 0;
    } else {
      ++misses;
      ++trailingMisses;
    }
  }
  void DropTrailingMisses() {
    count -= trailingMisses;
    misses -= trailingMisses;
    trailingMisses = 0;
  }
};

}  // namespace

int CGetPosition::TraceLine(Run& out, Point a, Point b, double step, double radius) const {
  Walk walk;
  Point direction = a - b;
  Point current = a;
  while (walk.count < 10 && walk.misses <= 1) {
    const Point predicted = PointAlong(current, direction, step);
    Point dot;
    const bool found = FindDot(predicted, radius, dot);
    current = found ? dot : predicted;
    if (found) direction = dot - b;
    walk.Add(current, found);
  }
  walk.DropTrailingMisses();

  int count = 0;
  for (int i = walk.count - 1; i >= 0; --i) out[count++] = walk.positions[i];
  out[count++] = a;
  out[count++] = b;

  // Past b the direction is taken from the far end, which averages out the pixel rounding
  // of the dots between.
  direction = b - out[0];
  current = b;
  int trailing = 0;
  while (count < kRunLength && walk.misses <= 1) {
    const Point predicted = PointAlong(current, direction, step);
    Point dot;
    const bool found = FindDot(predicted, radius, dot);
    current = found ? dot : predicted;
    out[count++] = current;
    if (found) {
      direction = dot - out[0];
      trailing = 0;
    } else {
      ++walk.misses;
      ++trailing;
    }
  }
  return count - trailing;
}

int CGetPosition::TraceDirection(Run& out, int maxMisses, int forwardOnly, Point start, Point direction, double step,
                                 double radius) const {
  Walk walk;
  int count = 0;
  if (forwardOnly == 0) {
    const Point backward{-direction.x, -direction.y};
    Point current = start;
    while (walk.count < kRunLength - 1 && walk.misses <= maxMisses) {
      const Point predicted = PointAlong(current, backward, step);
      Point dot;
      const bool found = FindDot(predicted, radius, dot);
      current = found ? dot : predicted;
      walk.Add(current, found);
    }
    walk.DropTrailingMisses();
    for (int i = walk.count - 1; i >= 0; --i) out[count++] = walk.positions[i];
  }
  out[count++] = start;

  Point current = start;
  int trailing = 0;
  while (count < kRunLength && walk.misses <= maxMisses) {
    const Point predicted = PointAlong(current, direction, step);
    Point dot;
    const bool found = FindDot(predicted, radius, dot);
    current = found ? dot : predicted;
    out[count++] = current;
    if (found) {
      trailing = 0;
    } else {
      ++walk.misses;
      ++trailing;
    }
  }
  return count - trailing;
}
