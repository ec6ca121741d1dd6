#pragma once
// The binarization threshold of each of the three passes: the page's own estimate first, then
// two fixed levels that catch dots the estimate misses (paler dots on a light page, darker
// ones on a dark page).

#include <array>

namespace orla {

inline constexpr int kPasses = 3;

constexpr std::array<int, kPasses> PassThresholds(int t0) {
  if (t0 > 200) return {t0, 125, 185};
  if (t0 > 160) return {t0, 125, 235};
  return {t0, 185, 235};
}

}  // namespace orla
