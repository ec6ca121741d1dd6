#include "block_layout.h"

#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <set>

#include "bit_order.h"
#include "payload.h"

namespace orla::pattern {
namespace {

TEST(BlockLayout, CellMapLinesStartBesideTheReferenceRows) {
  // Line 1 two pitches from A[0] away from row B, line 2 one pitch; lines 3 and 4 one and two
  // pitches from B[0] along row A's direction; the first two run like row A, the others like B.
  const struct {
    int bit;
    LatticePoint at;
  } cases[] = {{0, {-11, -2}}, {11, {0, -2}}, {12, {-11, -1}}, {23, {0, -1}},
               {24, {4, 3}},   {35, {4, 14}}, {36, {5, 3}},    {47, {5, 14}}};
  for (const auto& c : cases) EXPECT_EQ(CellMapBitPosition(c.bit), c.at) << c.bit;
  EXPECT_EQ(ReferenceAPosition(0), (LatticePoint{-11, 0}));
  EXPECT_EQ(ReferenceBPosition(11), (LatticePoint{3, 14}));
}

TEST(BlockLayout, DataBitsRunLineByLineThroughTheUsedCells) {
  const std::vector<LatticePoint> all = DataBitPositions(kAllCells);
  ASSERT_EQ(all.size(), 144u);
  const struct {
    std::uint16_t mask;
    std::size_t bit;
    LatticePoint at;
  } cases[] = {
      {kAllCells, 0, {-11, 3}},  {kAllCells, 2, {-9, 3}},   {kAllCells, 3, {-8, 3}},
      {kAllCells, 11, {0, 3}},   {kAllCells, 12, {-11, 4}}, {kAllCells, 143, {0, 14}},
      {1u << 5, 0, {-8, 6}},     {1u << 5, 3, {-8, 7}},     {1u << 5, 8, {-6, 8}},
      {0x8001, 8, {-9, 5}},      {0x8001, 9, {-2, 12}},     {0x8001, 17, {0, 14}},
  };
  for (const auto& c : cases) {
    const std::vector<LatticePoint> positions = DataBitPositions(c.mask);
    ASSERT_EQ(positions.size(), static_cast<std::size_t>(9 * std::popcount(c.mask)));
    EXPECT_EQ(positions[c.bit], c.at) << "mask " << c.mask << " bit " << c.bit;
  }
  // Each grid position belongs to the cell of its 3 x 3 square.
  for (const LatticePoint& p : all) {
    const int line = p.w - 3, column = p.u + 11;
    EXPECT_EQ(CellOf(line, column), 4 * (line / 3) + column / 3);
  }
  std::set<std::pair<int, int>> distinct;
  for (const LatticePoint& p : all) distinct.insert({p.u, p.w});
  EXPECT_EQ(distinct.size(), 144u);
}

// Reading the dots back by the layout gives the block's symbols again, and the frame's
// surroundings stay as the reader's side tests expect them: empty inner bands, the whole block
// inside its box, no position printed twice.
TEST(BlockLayout, DotsReadBackAsTheBlocksSymbols) {
  const std::vector<std::uint8_t> payload = BuildPayload(PatternRecord{});
  for (std::uint16_t mask : {kAllCells, std::uint16_t{0x0FFF}, std::uint16_t{0x5A5A}}) {
    SCOPED_TRACE(mask);
    const EncodedBlock block = EncodeBlock(payload, {.blockNumber = 1, .firstSymbol = 2, .cellMask = mask});
    std::map<std::pair<int, int>, DotRole> dots;
    for (const BlockDot& d : BlockDots(block)) {
      EXPECT_TRUE(dots.emplace(std::pair{d.at.u, d.at.w}, d.role).second) << d.at.u << "," << d.at.w;
      EXPECT_TRUE(d.at.u >= kBlockMinU && d.at.u <= kBlockMaxU && d.at.w >= kBlockMinW && d.at.w <= kBlockMaxW);
    }
    const auto has = [&](LatticePoint p) { return dots.contains({p.u, p.w}); };
    for (int k = 0; k < 12; ++k) {
      EXPECT_TRUE(has(ReferenceAPosition(k)));
      EXPECT_TRUE(has(ReferenceBPosition(k)));
      EXPECT_FALSE(has({k - 11, 1})) << "inner band of row A";
      EXPECT_FALSE(has({2, 3 + k})) << "inner band of row B";
    }
    for (LatticePoint p : {LatticePoint{1, 1}, LatticePoint{1, 2}, LatticePoint{2, 1}, LatticePoint{2, 2}}) EXPECT_TRUE(has(p));

    std::vector<std::uint8_t> mapBits;
    for (int bit = 0; bit < 48; ++bit) mapBits.push_back(has(CellMapBitPosition(bit)) ? 1 : 0);
    const std::vector<std::uint8_t> mapSymbols = BitsToSymbols(mapBits);
    EXPECT_TRUE(std::equal(mapSymbols.begin(), mapSymbols.end(), block.cellMapSymbols.begin()));

    std::vector<std::uint8_t> dataBits;
    for (const LatticePoint& p : DataBitPositions(mask)) dataBits.push_back(has(p) ? 0 : 1);
    EXPECT_EQ(BitsToSymbols(dataBits), block.dataSymbols);

    // Unused cells print nothing.
    for (int line = 0; line < 12; ++line)
      for (int column = 0; column < 12; ++column) {
        if (((mask >> CellOf(line, column)) & 1u) == 0) {
          EXPECT_FALSE(has(GridPosition(line, column)));
        }
      }
  }
}

}  // namespace
}  // namespace orla::pattern
