#pragma once
// The walk over every pixel of the page that the dot-map and block stages make, row by row:
// it has work only at the pixels of value 0 and at the pixels at which the progress window is
// due, so the pixels between are passed over in one search of the row.

#include <cstdint>
#include <cstring>

#include "progress_share.h"

namespace orla {

// The first x from `x` on, below `width`, that is 0 in `row` or due for a visit (width when
// there is none); the pixels before it count as gone by. The walk reads the row afresh at each
// call, so pixels painted out since the last one are seen as they are now.
inline int NextStop(const std::uint8_t* row, int x, int width, ProgressVisits& visits) {
  const int quiet = visits.Quiet();
  const int end = width - x <= quiet ? width : x + quiet;
  const void* dark = std::memchr(row + x, 0, static_cast<std::size_t>(end - x));
  const int stop = dark == nullptr ? end : static_cast<int>(static_cast<const std::uint8_t*>(dark) - row);
  visits.Pass(stop - x);
  return stop;
}

// The first x from `x` on, below `width`, that is 0 in `row` (width when there is none).
inline int NextDot(const std::uint8_t* row, int x, int width) {
  const void* dark = std::memchr(row + x, 0, static_cast<std::size_t>(width - x));
  return dark == nullptr ? width : static_cast<int>(static_cast<const std::uint8_t*>(dark) - row);
}

}  // namespace orla
