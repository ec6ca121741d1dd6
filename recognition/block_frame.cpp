// Locating a block by its frame: two rows of 12 reference dots at right angles, the square
// corner marker between their ends, and beside each row on the block's side a band that
// holds few dots.

#include <algorithm>

#include "shading_reg.h"

using orla::Point;

namespace {

// More dots than this in a row's inner band and the row is not a block's edge.
constexpr int kMostDotsInBand = 3;
// A strip is counted up to one dot past that: every decision on two strips (both too full,
// and which holds fewer) comes out the same with counts held there.
constexpr int kStripCountLimit = kMostDotsInBand + 1;

Point Reversed(Point v) { return Point{-v.x, -v.y}; }

}  // namespace

// The portable region is made from any four corners, so a strip always has a count.
int CShadingReg::CountStrip(const ReferenceRow& row, Point normal) const {
  const double near = 0.5 * dotPitch;
  const double far = 1.5 * dotPitch;
  const orla::QuadRegion strip({PointAlong(row[11], normal, near), PointAlong(row[11], normal, far),
                                PointAlong(row[0], normal, far), PointAlong(row[0], normal, near)});
  return CountDarkInRegion(strip, kStripCountLimit);
}

int CShadingReg::FindFirstBlockRegion(int x, int y, int neighbourX, int neighbourY) {
  Run line;
  if (TraceLine(line, Point{x, y}, Point{neighbourX, neighbourY}, dotPitch, dotPitch / 3.0) < kRunLength) {
    return orla::kFrameNotFitted;
  }
  ReferenceRow row = line;
  // Entered near the marker end the traced row fits as it is; entered near the other end it
  // fits read backwards.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (attempt == 1) std::reverse(row.begin(), row.end());
    const Point v = row[11] - row[0];
    const int c1 = CountStrip(row, Point{-v.y, v.x});
    const int c2 = c1 > 0 ? CountStrip(row, Point{v.y, -v.x}) : 0;
    if (c1 > kMostDotsInBand && c2 > kMostDotsInBand) return orla::kFrameNotFitted;
    const int side = c1 > c2 ? 2 : 1;
    if (FitReferenceRows(row, side, 1, refA, refB) == orla::kFrameFitted) return orla::kFrameFitted;
  }
  return orla::kFrameNotFitted;
}

int CShadingReg::FindBlockRegionAt(int x, int y, int directionX, int directionY) {
  Run row;
  if (TraceDirection(row, 2, 0, Point{x, y}, Point{directionX, directionY}, dotPitch, dotPitch / 3.0) < kRunLength) {
    return orla::kFrameNotFitted;
  }
  if (CountStrip(row, Point{-blockPeriod.y, blockPeriod.x}) > kMostDotsInBand) return orla::kFrameNotFitted;
  return FitReferenceRows(row, 1, 0, refA, refB);
}

int CShadingReg::FitReferenceRows(const ReferenceRow& row, int side, int markerRequired, ReferenceRow& tableA,
                                  ReferenceRow& tableB) {
  const Point v = row[11] - row[0];
  const Point n = side == 1 ? Point{-v.y, v.x} : Point{v.y, -v.x};
  const double p = dotPitch;
  const double radius = p / 3.0;

  // The marker cells (a, b) = row[11] + a p v^ + b p n^, a and b in 1..2.
  std::array<Point, 2> column1;
  std::array<std::uint8_t, 2> found1{};
  FollowDotLine(2, column1, found1, PointAlong(row[11], v, p), n, p, radius);
  const Point& cell11 = column1[0];
  const Point& cell12 = column1[1];
  Point cell21;
  Point cell22;
  std::uint8_t found21 = 0;
  std::uint8_t found22 = 0;
  auto follow1 = [&](Point from, Point direction, Point& cell, std::uint8_t& found) {
    FollowDotLine(1, std::span(&cell, 1), std::span(&found, 1), from, direction, p, radius);
  };
  if (found1[0] != 0) {
    follow1(cell11, v, cell21, found21);
    follow1(found21 != 0 ? cell21 : PointAlong(cell11, v, p), n, cell22, found22);
  } else if (found1[1] != 0) {
    follow1(cell12, v, cell22, found22);
    follow1(found22 != 0 ? cell22 : PointAlong(cell12, v, p), Reversed(n), cell21, found21);
  } else {
    std::array<Point, 2> column2;
    std::array<std::uint8_t, 2> found2{};
    FollowDotLine(2, column2, found2, PointAlong(row[11], v, 2.0 * p), n, p, radius);
    cell21 = column2[0];
    cell22 = column2[1];
    found21 = found2[0];
    found22 = found2[1];
  }
  const int markerDots = found1[0] + found1[1] + found21 + found22;
  if (markerRequired == 1 && markerDots < 4) return orla::kFrameNotFitted;

  // T = (3, 2), predicted from the best marker dot found.
  Point t;
  if (found22 != 0) {
    t = PointAlong(cell22, v, p);
  } else if (found1[1] != 0) {
    t = PointAlong(cell12, v, 2.0 * p);
  } else if (found21 != 0) {
    t = PointAlong(PointAlong(cell21, v, p), n, p);
  } else if (found1[0] != 0) {
    t = PointAlong(PointAlong(cell11, v, 2.0 * p), n, p);
  } else {
    // Without any marker dot nothing places row B.
    return orla::kFrameNotFitted;
  }

  Point b0;
  std::uint8_t foundB0 = 0;
  follow1(t, n, b0, foundB0);
  Run rowB;
  if (TraceDirection(rowB, foundB0 != 0 ? 1 : 0, 1, b0, n, p, radius) < kRunLength) return orla::kFrameNotFitted;

  if (side == 1) {
    tableA = row;
    tableB = rowB;
  } else {
    std::reverse_copy(rowB.begin(), rowB.end(), tableA.begin());
    std::reverse_copy(row.begin(), row.end(), tableB.begin());
  }
  return orla::kFrameFitted;
}
