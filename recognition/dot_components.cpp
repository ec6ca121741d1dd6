#include "dot_components.h"

namespace orla {

bool HasDotShape(const ComponentExtent& e) {
  if (e.count >= kLargestDot) return false;
  const int bw = e.maxX - e.minX;
  const int bh = e.maxY - e.minY;
  if (bh >= 2 * bw + 1 && bw > 1) return false;
  if (bw >= 2 * bh + 1 && bh > 1) return false;
  if (e.count >= 3 && (bw + 1) * (bh + 1) > 2 * e.count) return false;
  return true;
}

bool HasRowGap(const ComponentExtent& e, std::span<const std::uint8_t* const> rows) {
  for (int y = e.minY; y <= e.maxY; ++y) {
    const std::uint8_t* row = rows[y];
    bool seenDark = false;
    bool whiteAfterDark = false;
    for (int x = e.minX; x <= e.maxX; ++x) {
      if (row[x] == 0) {
        if (whiteAfterDark) return true;
        seenDark = true;
      } else if (seenDark) {
        whiteAfterDark = true;
      }
    }
  }
  return false;
}

int NoiseSizeLimit(const SizeHistogram& sizes) {
  int mode = 0;
  for (int n = 0; n < kLargestDot; ++n) {
    if (sizes[n] >= sizes[mode]) mode = n;
  }
  int limit;
  if (mode <= 3) {
    limit = 0;
  } else {
    // The rarest of the sizes 1 and 2 (or the mode itself) marks where noise ends, unless
    // size 3 is rarer still.
    int m = mode;
    int best = sizes[mode];
    if (sizes[1] < best) {
      m = 1;
      best = sizes[1];
    }
    if (sizes[2] < best) {
      m = 2;
      best = sizes[2];
    }
    if (sizes[3] < best) {
      limit = 2;
    } else {
      limit = m > 1 ? m - 1 : 1;
    }
  }
  if (mode <= limit + 2 && limit >= 1) --limit;
  return limit;
}

}  // namespace orla
