// A print's grid of tiles fitted to its blocks' places: it follows a lattice fitted a percent
// or two off in pitch, whose places drift a pitch or two off whole tiles across the page, and
// it leaves out a second print moved by some pitches that are not whole tiles.

#include "fitted_grid.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using orla::LatticeOffset;

// The place of tile (i, j) of a grid of 20-pitch tiles, as a lattice `scale` times too fine
// places it, moved by `move` pitches.
LatticeOffset PlaceOf(int i, int j, double scale, LatticeOffset move = {}) {
  return {static_cast<int>(std::lround(scale * (20 * i + move.u))), static_cast<int>(std::lround(scale * (20 * j + move.w)))};
}

TEST(FittedGrid, FollowsALatticeAPercentOrTwoOffAndLeavesOutAPrintMovedByPitches) {
  for (const double scale : {1.0, 1.02, 0.98}) {
    orla::FittedGrid grid(PlaceOf(0, 0, scale), PlaceOf(1, 0, scale), PlaceOf(0, 1, scale));
    // Nearest tiles first, out to twenty tiles away, where a 2% error is eight pitches.
    for (int ring = 1; ring <= 20; ++ring) {
      for (int i = -ring; i <= ring; ++i) {
        for (int j = -ring; j <= ring; ++j) {
          if (std::max(std::abs(i), std::abs(j)) != ring) continue;
          const auto k = grid.Near(PlaceOf(i, j, scale));
          ASSERT_TRUE(k.has_value()) << scale << ": tile " << i << ", " << j;
          EXPECT_EQ((*k)[0], i);
          EXPECT_EQ((*k)[1], j);
          grid.Add(PlaceOf(i, j, scale), *k);
        }
      }
    }
    for (const LatticeOffset move : {LatticeOffset{5, -7}, LatticeOffset{0, 3}, LatticeOffset{10, 10}}) {
      for (const auto& [i, j] : {std::pair{0, 0}, std::pair{3, -2}, std::pair{-15, 12}}) {
        EXPECT_FALSE(grid.Near(PlaceOf(i, j, scale, move)).has_value())
            << scale << ": moved " << move.u << ", " << move.w << ", tile " << i << ", " << j;
      }
    }
  }
}

}  // namespace
