// Dots inside a field of dots. A photo's halftone screen covers its light tones with fields of
// specks on small lattices, and every speck of them would start a frame search of its own. No
// reference dot lies inside such a field: on the block's side of both reference rows the band
// one and two pitches in is empty (the data and the cell map begin further in). So a dot
// with dots on all four sides one short step away, or with two dots on opposite sides closer
// than any pitch the search takes, starts no frame. It stays on the page for the frames traced
// through it.

#include <array>

#include "get_position.h"

using orla::Point;

namespace {

// Steps up to 8 pixels stay within a block's empty band: under two pitches at 300 dots per
// inch, under one at 600.
constexpr int kLongestStep2 = 64;
// Closer than three quarters of the pitch at 300 dots per inch (3.18 pixels), the nearest a
// first block's row neighbour may lie.
constexpr int kClosestPair2 = 8;

struct Steps {
  std::array<Point, 96> at{};
  int count = 0;
};

// One step of each pair of opposite steps.
constexpr Steps PairSteps() {
  Steps steps;
  for (int j = 0; j * j <= kClosestPair2; ++j) {
    for (int i = -2; i <= 2; ++i) {
      if ((j > 0 || i > 0) && i * i + j * j <= kClosestPair2) steps.at[steps.count++] = Point{i, j};
    }
  }
  return steps;
}

// One step of each four that are quarter turns of each other.
constexpr Steps FourSteps() {
  Steps steps;
  for (int i = 1; i * i <= kLongestStep2; ++i) {
    for (int j = 0; j * j <= kLongestStep2; ++j) {
      const int d2 = i * i + j * j;
      if (d2 >= 4 && d2 <= kLongestStep2) steps.at[steps.count++] = Point{i, j};
    }
  }
  return steps;
}

constexpr Steps kPairs = PairSteps();
constexpr Steps kFours = FourSteps();

}  // namespace

bool CGetPosition::HasDotsAround(int x, int y, Point step) const {
  return IsDot(x + step.x, y + step.y) && IsDot(x - step.x, y - step.y) && IsDot(x - step.y, y + step.x) &&
         IsDot(x + step.y, y - step.x);
}

bool CGetPosition::InsideDotField(int x, int y) const {
  for (int k = 0; k < kPairs.count; ++k) {
    const Point s = kPairs.at[static_cast<std::size_t>(k)];
    if (IsDot(x + s.x, y + s.y) && IsDot(x - s.x, y - s.y)) return true;
  }
  for (int k = 0; k < kFours.count; ++k) {
    if (HasDotsAround(x, y, kFours.at[static_cast<std::size_t>(k)])) return true;
  }
  return false;
}
