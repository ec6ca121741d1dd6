#pragma once
// Which dark components are printed dots, and which sizes are noise.

#include <array>
#include <cstdint>
#include <span>

#include "flood_fill.h"

namespace orla {

// Components of this many pixels or more are never dots.
inline constexpr int kLargestDot = 25;
// Counts 0 to 24 are used; the table keeps its original room.
using SizeHistogram = std::array<int, 51>;

// Small, not too long (unless its short side is at most 2 pixels), and filling at least half
// of its box.
bool HasDotShape(const ComponentExtent& extent);
// Some row of the box has a white pixel between two dark ones in `rows`.
bool HasRowGap(const ComponentExtent& extent, std::span<const std::uint8_t* const> rows);
// Components of this many pixels or fewer are noise, learned from the sizes seen.
int NoiseSizeLimit(const SizeHistogram& sizes);

}  // namespace orla
