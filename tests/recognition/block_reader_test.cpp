// Reading one block from a dot map: its cell map beside the reference rows and its used data
// cells, on pages from the pattern writer, compared with what the writer encoded.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "block_reading_expect.h"
#include "codeword.h"
#include "writer_dot_map.h"

namespace {

using orla::pattern::DotEdit;
using orla::pattern::EncodedBlock;
using orla::pattern::Lattice;
using orla::test::ExpectSameReading;
using orla::test::MakeReading;
using orla::test::WriterDotMap;
using Values = std::array<std::optional<int>, 16>;

const orla::pattern::PatternRecord kShortRecord{"202601020304", "S1", "", "u", "j", ""};

orla::pattern::PatternOptions Options(int dpi, Lattice lattice, int turns) {
  orla::pattern::PatternOptions options;
  options.payload.compression = orla::pattern::Compression::Plain;
  options.page.dpi = dpi;
  options.page.lattice = lattice;
  options.page.quarterTurns = turns;
  options.page.dotSize = dpi == 300 ? 2 : 3;
  return options;
}

std::string Name(const orla::pattern::PatternOptions& o) {
  return std::to_string(o.page.dpi) + (o.page.lattice == Lattice::Diagonal ? " diagonal" : " axis") + " turn " +
         std::to_string(o.page.quarterTurns);
}

std::pair<BlockReading, BlockReading> Expected(const EncodedBlock& block) {
  Values here{};
  Values there{};
  int at = block.plan.firstSymbol;
  for (std::uint8_t symbol : block.payloadSymbols) {
    (at < 16 ? here[static_cast<std::size_t>(at)] : there[static_cast<std::size_t>(at - 16)]) = symbol;
    ++at;
  }
  return {MakeReading(block.plan.blockNumber, here, block.checkByte), MakeReading(-1, there)};
}

// Dot edits that make the printed cell map read `symbols` in place of the block's own.
std::vector<DotEdit> CellMapEdits(int placement, const EncodedBlock& block, const std::array<std::uint8_t, 16>& symbols) {
  std::vector<DotEdit> edits;
  for (int bit = 0; bit < 48; ++bit) {
    const int was = (block.cellMapSymbols[static_cast<std::size_t>(bit / 3)] >> (2 - bit % 3)) & 1;
    const int now = (symbols[static_cast<std::size_t>(bit / 3)] >> (2 - bit % 3)) & 1;
    if (was != now) edits.push_back(DotEdit{placement, orla::pattern::CellMapBitPosition(bit), now == 1});
  }
  return edits;
}

// The block's cell map with two symbols of codeword `word` (0: symbols 0-6, 1: 7-10, 2: 11-15)
// changed so that the codeword is beyond repair (some changes only lead to another codeword).
std::array<std::uint8_t, 16> SpoiledCellMap(const EncodedBlock& block, int word) {
  const int first = word == 0 ? 0 : word == 1 ? 7 : 11;
  const int n = word == 0 ? 7 : word == 1 ? 4 : 5;
  for (int a = 1; a < 8; ++a) {
    for (int b = 1; b < 8; ++b) {
      std::array<std::uint8_t, 16> tried = block.cellMapSymbols;
      tried[static_cast<std::size_t>(first)] ^= static_cast<std::uint8_t>(a);
      tried[static_cast<std::size_t>(first + 1)] ^= static_cast<std::uint8_t>(b);
      if (word == 0) tried[static_cast<std::size_t>(first + 2)] ^= 1;  // three off: past its 2 corrections
      std::vector<std::uint8_t> wordSymbols(tried.begin() + first, tried.begin() + first + n);
      if (!orla::DecodeCodeword(wordSymbols)) return tried;
    }
  }
  ADD_FAILURE() << "no spoiled cell map found for codeword " << word;
  return block.cellMapSymbols;
}

TEST(BlockReader, ReadsEveryBlockOfAPageAtBothResolutionsAndEveryLayout) {
  const orla::pattern::PatternOptions layouts[] = {
      Options(600, Lattice::Diagonal, 0), Options(300, Lattice::Diagonal, 1), Options(600, Lattice::Axis, 0),
      Options(600, Lattice::Axis, 3),     Options(300, Lattice::Axis, 2),
  };
  for (const auto& options : layouts) {
    WriterDotMap map(options, kShortRecord);
    ASSERT_TRUE(map.ok()) << Name(options);
    for (std::size_t p = 0; p < map.made().blocks.size(); ++p) {
      const std::string what = Name(options) + ", block " + std::to_string(p);
      map.UseFrame(static_cast<int>(p));
      map.reg.pointCount = 0;
      BlockCellMap cellMap;
      cellMap.cellHasData.fill(7);
      ASSERT_EQ(map.reg.ReadBlockCellMap(cellMap, map.reg.refA, map.reg.refB), 0) << what;
      for (int c = 0; c < 16; ++c) EXPECT_EQ(cellMap.cellHasData[static_cast<std::size_t>(c)], 1) << what << " cell " << c;
      EXPECT_EQ(cellMap.refA, map.reg.refA) << what;
      EXPECT_EQ(cellMap.refB, map.reg.refB) << what;
      BlockReading reading;
      BlockReading next;
      ASSERT_EQ(map.reg.ReadBlockNumber(cellMap, reading, next), 0) << what;
      const auto [expected, expectedNext] = Expected(map.made().blocks[p]);
      ExpectSameReading(reading, expected, what);
      ExpectSameReading(next, expectedNext, what + ", next block");
      // Every dot read is in the point table, ready to be painted out.
      const int cellMapDots = [&] {
        int n = 0;
        for (std::uint8_t s : map.made().blocks[p].cellMapSymbols) n += std::popcount(static_cast<unsigned>(s));
        return n;
      }();
      int dataDots = 0;
      for (std::uint8_t s : map.made().blocks[p].dataSymbols) dataDots += 3 - std::popcount(static_cast<unsigned>(s));
      EXPECT_EQ(map.reg.pointCount, std::min(300, cellMapDots + dataDots)) << what;
    }
  }
}

TEST(BlockReader, PartialCellsAndLaterBlocksStartingAtX) {
  for (const int dpi : {600, 300}) {
    orla::pattern::PatternOptions options = Options(dpi, Lattice::Diagonal, 0);
    options.plan.firstCellMask = 0x0F7F;  // 11 cells in the first block
    options.plan.cellMask = 0xBEEF;       // 13 in every later one
    WriterDotMap map(options, kShortRecord);
    ASSERT_TRUE(map.ok());
    ASSERT_GT(map.made().blocks[1].plan.firstSymbol, 0) << "later blocks should start at X > 0";
    for (std::size_t p = 0; p < map.made().blocks.size(); ++p) {
      const EncodedBlock& block = map.made().blocks[p];
      const std::string what = std::to_string(dpi) + " block " + std::to_string(p);
      map.UseFrame(static_cast<int>(p));
      BlockCellMap cellMap;
      ASSERT_EQ(map.reg.ReadBlockCellMap(cellMap, map.reg.refA, map.reg.refB), 0) << what;
      for (int c = 0; c < 16; ++c) {
        EXPECT_EQ(cellMap.cellHasData[static_cast<std::size_t>(c)], (block.plan.cellMask >> c) & 1) << what << " cell " << c;
      }
      BlockReading reading;
      BlockReading next;
      ASSERT_EQ(map.reg.ReadBlockNumber(cellMap, reading, next), 0) << what;
      const auto [expected, expectedNext] = Expected(block);
      ExpectSameReading(reading, expected, what);
      ExpectSameReading(next, expectedNext, what + ", next block");
    }
  }
}

TEST(BlockReader, ABrokenCellMapIsSavedOnlyByTheAllCellsFlag) {
  const struct {
    const char* name;
    std::uint16_t cells;
    int spoiled;  // codeword made beyond repair
    int result;
  } cases[] = {
      {"first codeword broken, all cells used (flag 1)", 0xFFFF, 0, 0},
      {"first codeword broken, flag 0", 0x7FFF, 0, 1},
      {"second codeword broken, flag 1", 0xFFFF, 1, 0},
      {"second codeword broken, flag 0", 0xFFF7, 1, 1},
      {"third codeword broken: the flag cannot be read", 0xFFFF, 2, 1},
  };
  for (const auto& c : cases) {
    orla::pattern::PatternOptions options = Options(600, Lattice::Diagonal, 0);
    options.plan.firstCellMask = options.plan.cellMask = c.cells;
    const orla::pattern::EncodedPattern encoded = orla::pattern::EncodePattern(kShortRecord, options);
    ASSERT_TRUE(encoded.error.empty()) << c.name;
    options.page.damage.edits = CellMapEdits(1, encoded.blocks[1], SpoiledCellMap(encoded.blocks[1], c.spoiled));
    WriterDotMap map(options, kShortRecord);
    ASSERT_TRUE(map.ok()) << c.name;

    // Block 0 reads first, with every cell flag set: none of them may stand in for block 1's
    // broken codeword.
    BlockCellMap cellMap;
    map.UseFrame(0);
    ASSERT_EQ(map.reg.ReadBlockCellMap(cellMap, map.reg.refA, map.reg.refB), 0) << c.name;
    map.UseFrame(1);
    EXPECT_EQ(map.reg.ReadBlockCellMap(cellMap, map.reg.refA, map.reg.refB), c.result) << c.name;
    if (c.result == 0) {
      for (int cell = 0; cell < 16; ++cell) EXPECT_EQ(cellMap.cellHasData[static_cast<std::size_t>(cell)], 1) << c.name;
      BlockReading reading;
      BlockReading next;
      ASSERT_EQ(map.reg.ReadBlockNumber(cellMap, reading, next), 0) << c.name;
      ExpectSameReading(reading, Expected(map.made().blocks[1]).first, c.name);
    } else if (c.spoiled == 1) {
      // Flags 9 to 14 come from the broken codeword: none is left over from block 0.
      for (int cell = 9; cell < 15; ++cell) EXPECT_EQ(cellMap.cellHasData[static_cast<std::size_t>(cell)], 0) << c.name;
    } else if (c.spoiled == 0) {
      for (int cell = 0; cell < 15; ++cell) EXPECT_EQ(cellMap.cellHasData[static_cast<std::size_t>(cell)], 0) << c.name;
    }
  }
}

TEST(BlockReader, ErasingABlockPaintsOutItsFrameAndTheDotsRead) {
  WriterDotMap map(Options(600, Lattice::Diagonal, 0), kShortRecord);
  ASSERT_TRUE(map.ok());
  const int before = orla::test::DarkPixels(map.pic());
  map.UseFrame(0);
  map.reg.pointCount = 0;
  BlockCellMap cellMap;
  ASSERT_EQ(map.reg.ReadBlockCellMap(cellMap, map.reg.refA, map.reg.refB), 0);
  BlockReading reading;
  BlockReading next;
  ASSERT_EQ(map.reg.ReadBlockNumber(cellMap, reading, next), 0);
  EXPECT_EQ(map.reg.EraseReferenceDots(cellMap), 0);
  for (int k = 0; k < 12; ++k) {
    EXPECT_FALSE(map.HasDot(0, orla::pattern::ReferenceAPosition(k)));
    EXPECT_FALSE(map.HasDot(0, orla::pattern::ReferenceBPosition(k)));
  }
  EXPECT_EQ(orla::test::DarkPixels(map.pic()), before - 24);
  // Reference points off the page are skipped.
  cellMap.refA.fill(orla::Point{-1, -1});
  cellMap.refB.fill(orla::Point{map.pic().width, 0});
  EXPECT_EQ(map.reg.EraseReferenceDots(cellMap), 0);
  EXPECT_EQ(orla::test::DarkPixels(map.pic()), before - 24);
}

}  // namespace
