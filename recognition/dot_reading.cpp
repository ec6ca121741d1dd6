// Reading rows of dot positions as bits, and counting dots inside a quadrilateral.

#include <algorithm>
#include <cstdint>
#include <limits>

#include "shading_reg.h"
#include "zero_bytes.h"

using orla::Point;

namespace {

void SetBit(std::span<std::uint8_t> bits, int index) {
  const auto byte = static_cast<std::size_t>(index / 8);
  // Added, not or-ed: the callers clear the bits beforehand.
  if (index >= 0 && byte < bits.size()) bits[byte] = static_cast<std::uint8_t>(bits[byte] + (0x80 >> (index % 8)));
}

}  // namespace

int CGetPosition::ReadDotBits(std::span<std::uint8_t> bits, int firstBit, Point& first, Point& next, Point start,
                              Point direction, double step) {
  Point current = start;
  for (int i = firstBit; i < firstBit + kRunLength; ++i) {
    Point position;
    const bool found = FindDot(current, step / 2.0, position);
    if (found) {
      SetBit(bits, i);
      RecordPoint(position);
    } else {
      position = current;
    }
    if (i == firstBit) first = position;
    if (!found && !IsInsidePage(position.x, position.y)) break;
    current = PointAlong(position, direction, step);
  }
  next = current;
  return firstBit + kRunLength;
}

int CShadingReg::ReadReferenceCell(std::span<std::uint8_t> bits, const ReferenceRow& rowA, const ReferenceRow& rowB,
                                   int row, double step) {
  const Point d1 = rowA[0] - rowA[11];
  const Point d2 = rowB[11] - rowB[0];
  const std::int64_t det = static_cast<std::int64_t>(d2.x) * d1.y - static_cast<std::int64_t>(d1.x) * d2.y;
  if (det == 0) return 0;
  const Point& b = rowB[std::clamp(row, 0, kRunLength - 1)];
  const std::int64_t c2 = static_cast<std::int64_t>(b.y) * d1.x - static_cast<std::int64_t>(b.x) * d1.y;
  bool previousFound = false;
  Point previous;
  for (int i = 0; i < kRunLength; ++i) {
    Point predicted;
    if (previousFound) {
      predicted = PointAlong(previous, d1, step);
    } else {
      const Point& a = rowA[11 - i];
      const std::int64_t c1 = static_cast<std::int64_t>(a.y) * d2.x - static_cast<std::int64_t>(a.x) * d2.y;
      const double x = static_cast<double>(d1.x * c1 - d2.x * c2) / static_cast<double>(det) + 0.4;
      const double y = static_cast<double>(d1.y * c1 - d2.y * c2) / static_cast<double>(det) + 0.4;
      predicted = Point{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
    }
    previousFound = FindDot(predicted, step / 2.0, previous);
    if (previousFound) {
      SetBit(bits, i);
      RecordPoint(previous);
    }
  }
  return 1;
}

int CGetPosition::CountDarkInRegion(const orla::QuadRegion& region) const {
  return CountDarkInRegion(region, std::numeric_limits<int>::max());
}

int CGetPosition::CountDarkInRegion(const orla::QuadRegion& region, int most) const {
  const orla::PixelBox box = region.Bounds();
  const int left = std::max(box.left, 0);
  const int right = std::min(box.right, pageWidth - 1);
  const int top = std::max(box.top, 0);
  const int bottom = std::min(box.bottom, pageHeight - 1);
  int count = 0;
  // Line by line, only the stretches between the region's edges are looked at.
  for (int y = top; y <= bottom && left <= right; ++y) {
    const orla::QuadRegion::LineCrossings line = region.CrossingsOf(y);
    const std::uint8_t* row = page->rows[y].get();
    for (int k = 0; k + 1 < line.count; k += 2) {
      const int from = std::max(line.x[k], left);
      const int to = std::min(line.x[k + 1] - 1, right);
      if (from > to) continue;
      const int length = to - from + 1;
      count += orla::CountZeroBytes(row + from, length, std::max(length, page->stride - from));
      if (count >= most) return most;
    }
  }
  return count;
}
