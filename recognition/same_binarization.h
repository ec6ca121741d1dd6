#pragma once
// Which thresholds make the same black and white page: those with no pixel between them.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "halvo_pic.h"

namespace orla {

// For every threshold, whether an earlier one of the list makes the same black and white page
// of `pic`. A pixel is dark below a threshold, so two make the same page when no grey g of
// the page has low <= g < high. One look at each row, for every gap between neighbouring
// thresholds at once; it ends as soon as every gap is seen to hold a pixel.
template <std::size_t N>
std::array<bool, N> AlikeBefore(const CHalvoPic& pic, const std::array<int, N>& thresholds) {
  std::array<int, N> sorted = thresholds;
  std::sort(sorted.begin(), sorted.end());
  // held[k]: some pixel lies in [sorted[k], sorted[k + 1]).
  std::array<bool, N> held{};
  std::size_t open = 0;
  for (std::size_t k = 0; k + 1 < N; ++k) open += sorted[k] < sorted[k + 1] ? 1 : 0;
  for (int y = 0; y < pic.height && open > 0; ++y) {
    const std::uint8_t* row = pic.rows[y].get();
    for (std::size_t k = 0; k + 1 < N; ++k) {
      if (held[k] || sorted[k] == sorted[k + 1]) continue;
      const int low = sorted[k];
      const int high = sorted[k + 1];
      if (std::any_of(row, row + pic.width, [&](std::uint8_t v) { return v >= low && v < high; })) {
        held[k] = true;
        --open;
      }
    }
  }
  std::array<bool, N> alike{};
  for (std::size_t i = 0; i < N; ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      const int low = std::min(thresholds[i], thresholds[j]);
      const int high = std::max(thresholds[i], thresholds[j]);
      bool between = false;
      for (std::size_t k = 0; k + 1 < N; ++k) between = between || (held[k] && sorted[k] >= low && sorted[k + 1] <= high);
      alike[i] = alike[i] || !between;
    }
  }
  return alike;
}

}  // namespace orla
