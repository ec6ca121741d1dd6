// Whether the blocks read on one lattice lie on one grid of tiles, as one print lays them, or
// on two grids moved against each other, as two prints on one lattice do.

#include "block_grid.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using orla::LatticeOffset;

struct Case {
  const char* name;
  std::vector<LatticeOffset> places;
  bool oneGrid;
};

TEST(BlockGrid, BlocksOfOnePrintLieOnOneGridAndTwoPrintsMovedByPitchesOnTwo) {
  // Tiles of 21 pitches along the rows; on a lattice turned against the page's axes (rows
  // along the diagonals), the tiles go along the page: steps (19, -19) and (19, 19).
  const std::vector<LatticeOffset> axis = {{0, 0}, {21, 0}, {42, 0}, {0, 21}, {63, 42}, {-21, 84}};
  const std::vector<LatticeOffset> diagonal = {{0, 0}, {38, -38}, {57, -57}, {76, -38}, {95, -19}, {114, 0}};
  const auto with = [](std::vector<LatticeOffset> places, std::initializer_list<LatticeOffset> more) {
    places.insert(places.end(), more);
    return places;
  };
  const Case cases[] = {
      {"no block", {}, true},
      {"one block", {{5, -7}}, true},
      {"one block read twice", {{5, -7}, {5, -7}}, true},
      {"one row of tiles", {{0, 0}, {21, 0}, {84, 0}}, true},
      {"one column of tiles", {{3, 3}, {3, 45}}, true},
      {"tiles along the rows", axis, true},
      {"tiles along the page, the rows diagonal", diagonal, true},
      {"a second print moved by whole tiles", with(axis, {{210, 105}}), true},
      {"tiles just apart", {{0, 0}, {12, 0}, {0, 12}}, true},
      // A second print a few pitches over: its blocks lie tiles away from the first's, but
      // not whole tiles.
      {"a second print moved by pitches", with(axis, {{-64, 82}}), false},
      {"a second print, the rows diagonal", with(diagonal, {{-64, 82}, {-45, 101}}), false},
      {"two blocks overlapping along a row", {{0, 0}, {11, 0}}, false},
      {"two blocks overlapping along a column", {{0, 0}, {0, -11}}, false},
      {"two blocks overlapping aslant", {{0, 0}, {7, 5}}, false},
      // Only a sum of steps is short: twice (25, 3) less (50, 9) is (0, -3).
      {"blocks far apart whose steps add up short", {{0, 0}, {25, 3}, {50, 9}}, false},
      {"a row of blocks at uneven steps", {{0, 0}, {21, 0}, {50, 0}}, false},
  };
  for (const Case& c : cases) {
    orla::BlockGrid grid;
    for (const LatticeOffset at : c.places) grid.Add(at);
    EXPECT_EQ(grid.OneGrid(), c.oneGrid) << c.name;
  }
}

}  // namespace
