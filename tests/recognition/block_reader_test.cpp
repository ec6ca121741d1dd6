// Reading one block from a dot map: its cell map beside the reference rows and its used data
// cells, on pages from the pattern writer, compared with what the writer encoded.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "block_reading_expect.h"
#include "cell_map_damage.h"
#include "writer_dot_map.h"
#include "writer_options.h"

namespace {

using orla::pattern::DotEdit;
using orla::pattern::EncodedBlock;
using orla::pattern::Lattice;
using orla::test::CellMapEdits;
using orla::test::ExpectedReadings;
using orla::test::ExpectSameReading;
using orla::test::SpoiledCellMap;
using orla::test::WriterDotMap;

const orla::pattern::PatternRecord kShortRecord{"260102030405", "S1", "", "u", "j", ""};

orla::pattern::PatternOptions Options(int dpi, Lattice lattice, int turns) {
  return orla::test::WriterOptions(dpi, lattice, turns, orla::pattern::Compression::Plain);
}

TEST(BlockReader, ReadsEveryBlockOfAPageAtBothResolutionsAndEveryLayout) {
  const orla::pattern::PatternOptions layouts[] = {
      Options(600, Lattice::Diagonal, 0), Options(300, Lattice::Diagonal, 1), Options(600, Lattice::Axis, 0),
      Options(600, Lattice::Axis, 3),     Options(300, Lattice::Axis, 2),
  };
  for (const auto& options : layouts) {
    WriterDotMap map(options, kShortRecord);
    ASSERT_TRUE(map.ok()) << orla::test::Describe(options);
    for (std::size_t p = 0; p < map.made().blocks.size(); ++p) {
      const std::string what = orla::test::Describe(options) + ", block " + std::to_string(p);
      map.UseFrame(static_cast<int>(p));
      map.reg.pointCount = 0;
      BlockCellMap cellMap;
      cellMap.cellHasData.fill(7);
      ASSERT_EQ(map.reg.ReadBlockCellMap(cellMap, map.reg.refA, map.reg.refB), 0) << what;
      for (int c = 0; c < 16; ++c)
        EXPECT_EQ(cellMap.cellHasData[static_cast<std::size_t>(c)], 1) << what << " cell " << c;
      EXPECT_EQ(cellMap.refA, map.reg.refA) << what;
      EXPECT_EQ(cellMap.refB, map.reg.refB) << what;
      BlockReading reading;
      BlockReading next;
      ASSERT_EQ(map.reg.ReadBlockNumber(cellMap, reading, next), 0) << what;
      const auto [expected, expectedNext] = ExpectedReadings(map.made().blocks[p]);
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
        EXPECT_EQ(cellMap.cellHasData[static_cast<std::size_t>(c)], (block.plan.cellMask >> c) & 1)
            << what << " cell " << c;
      }
      BlockReading reading;
      BlockReading next;
      ASSERT_EQ(map.reg.ReadBlockNumber(cellMap, reading, next), 0) << what;
      const auto [expected, expectedNext] = ExpectedReadings(block);
      ExpectSameReading(reading, expected, what);
      ExpectSameReading(next, expectedNext, what + ", next block");
    }
  }
}

TEST(BlockReader, DataLinesAreReadAlongRowAWhenTheReferenceRowsDoNotCross) {
  // Cells 12 to 15 unused, so data line 11 carries nothing and B[11] can be moved to make row
  // B parallel to row A: no line crosses a column, and every line is read from three pitches
  // beyond B[k] back along row A.
  for (const int dpi : {600, 300}) {
    orla::pattern::PatternOptions options = Options(dpi, Lattice::Diagonal, 0);
    options.plan.firstCellMask = options.plan.cellMask = 0x0FFF;
    WriterDotMap map(options, kShortRecord);
    ASSERT_TRUE(map.ok());
    map.UseFrame(0);
    BlockCellMap cellMap;
    ASSERT_EQ(map.reg.ReadBlockCellMap(cellMap, map.reg.refA, map.reg.refB), 0) << dpi;
    const orla::Point backwards = cellMap.refA[0] - cellMap.refA[11];
    cellMap.refB[11] = orla::Point{cellMap.refB[0].x + backwards.x, cellMap.refB[0].y + backwards.y};
    std::array<std::uint8_t, 2> line{};
    ASSERT_EQ(map.reg.ReadReferenceCell(line, cellMap.refA, cellMap.refB, 0, map.reg.dotPitch), 0) << dpi;

    BlockReading reading;
    BlockReading next;
    ASSERT_EQ(map.reg.ReadBlockNumber(cellMap, reading, next), 0) << dpi;
    const auto [expected, expectedNext] = ExpectedReadings(map.made().blocks[0]);
    ExpectSameReading(reading, expected, std::to_string(dpi) + " dpi");
    ExpectSameReading(next, expectedNext, std::to_string(dpi) + " dpi, next block");
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
      ExpectSameReading(reading, ExpectedReadings(map.made().blocks[1]).first, c.name);
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
