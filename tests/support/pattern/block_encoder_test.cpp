#include "block_encoder.h"

#include <gtest/gtest.h>

#include <map>
#include <span>

#include "bit_order.h"
#include "payload.h"
#include "rs_encoder.h"
#include "rs_gf8_encoder.h"

namespace orla::pattern {
namespace {

using Symbols = std::vector<std::uint8_t>;

// The first `count` cells used.
std::uint16_t FirstCells(int count) { return static_cast<std::uint16_t>((1u << count) - 1u); }

void ExpectZeroSyndromes(std::span<const std::uint8_t> symbols, const std::vector<int>& lengths, const char* what) {
  std::size_t at = 0;
  for (int n : lengths) {
    const std::span<const std::uint8_t> word = symbols.subspan(at, static_cast<std::size_t>(n));
    EXPECT_TRUE(test::IsGf8Codeword(word, n - DataSymbolsOf(n))) << what << ": codeword at " << at;
    at += static_cast<std::size_t>(n);
  }
  EXPECT_EQ(at, symbols.size()) << what;
}

// The data symbols of the rows, in order.
Symbols DataOf(const EncodedBlock& block) {
  Symbols data;
  std::size_t at = 0;
  for (int n : block.rowLengths) {
    for (int i = 0; i < DataSymbolsOf(n); ++i) data.push_back(block.dataSymbols[at + static_cast<std::size_t>(i)]);
    at += static_cast<std::size_t>(n);
  }
  return data;
}

std::vector<std::uint8_t> SamplePayload() { return BuildPayload(PatternRecord{}, {.compression = Compression::Plain}); }

TEST(BlockEncoder, HeaderSymbolsOfTheWorkedExamples) {
  EXPECT_EQ(HeaderSymbols(5, 0, 0x3C), (std::array<std::uint8_t, 6>{0, 5, 0, 0, 7, 4}));
  EXPECT_EQ(HeaderSymbols(63, 15, 0xFF), (std::array<std::uint8_t, 6>{7, 7, 7, 7, 7, 7}));
  EXPECT_EQ(HeaderSymbols(1, 10, 0x00), (std::array<std::uint8_t, 6>{0, 1, 5, 0, 0, 0}));  // 0x1A00
}

TEST(BlockEncoder, RowShapesHeaderRoomAndPayloadPerUsedCellCount) {
  const struct {
    int cells;
    std::vector<int> rows;
    bool headerFits;
    int payload;
  } cases[] = {
      {1, {3}, false, -5},
      {2, {6}, false, -2},
      {3, {4, 5}, false, -1},
      {4, {7, 5}, true, 0},
      {5, {7, 4, 4}, false, 1},
      {6, {7, 7, 4}, true, 2},
      {7, {7, 7, 7}, true, 3},
      {8, {7, 7, 7, 3}, true, 4},
      {9, {7, 7, 7, 6}, true, 7},
      {10, {7, 7, 7, 4, 5}, true, 8},
      {12, {7, 7, 7, 7, 4, 4}, true, 10},
      {15, {7, 7, 7, 7, 7, 7, 3}, true, 13},
      {16, {7, 7, 7, 7, 7, 7, 6}, true, 16},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cells);
    EXPECT_EQ(RowLengths(3 * c.cells), c.rows);
    EXPECT_EQ(HeaderFits(FirstCells(c.cells)), c.headerFits);
    EXPECT_EQ(PayloadCapacity(FirstCells(c.cells)), c.payload);
  }
}

TEST(BlockEncoder, CellMapCodewordsCarryTheCellFlagsThenTheAllCellsFlagThenTheSpareBits) {
  const struct {
    std::uint16_t mask;
    int allCellsFlag;
    std::uint8_t spare;
    int expectedFlag;
  } cases[] = {{kAllCells, -1, 0, 1}, {0x00FF, -1, 0, 0}, {0x8421, 1, 0x55, 1}, {kAllCells, 0, 0x7F, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mask);
    const std::array<std::uint8_t, 16> symbols = CellMapSymbols(c.mask, c.allCellsFlag, c.spare);
    ExpectZeroSyndromes(symbols, {7, 4, 5}, "cell map");
    // Data symbols: 0-2, 7-8, 11-13.
    const Symbols data{symbols[0], symbols[1], symbols[2], symbols[7], symbols[8], symbols[11], symbols[12], symbols[13]};
    const std::vector<std::uint8_t> bits = SymbolsToBits(data);
    for (int cell = 0; cell < 16; ++cell) EXPECT_EQ(bits[static_cast<std::size_t>(cell)], (c.mask >> cell) & 1) << cell;
    EXPECT_EQ(bits[16], c.expectedFlag);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(bits[17 + static_cast<std::size_t>(i)], (c.spare >> (6 - i)) & 1) << i;
  }
}

TEST(BlockEncoder, EveryRowIsACodewordStartingWithTheHeaderThenTheStreamFromSymbolX) {
  const std::vector<std::uint8_t> payload = SamplePayload();
  const Symbols stream = PayloadSymbolStream(payload);
  ASSERT_EQ(stream.size(), static_cast<std::size_t>(BlockCountOf(payload)) * 16);
  const struct {
    int number;
    int x;
    std::uint16_t mask;
  } cases[] = {{0, 0, kAllCells}, {3, 0, kAllCells}, {2, 10, kAllCells}, {1, 14, FirstCells(8)},
               {4, 5, 0x0F0F}, {2, 0, FirstCells(12)}, {1, 3, FirstCells(4)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "block " << c.number << " X " << c.x << " mask " << c.mask);
    const EncodedBlock block = EncodeBlock(payload, {.blockNumber = c.number, .firstSymbol = c.x, .cellMask = c.mask});
    EXPECT_EQ(block.dataSymbols.size(), static_cast<std::size_t>(3 * UsedCellCount(c.mask)));
    ExpectZeroSyndromes(block.dataSymbols, block.rowLengths, "data rows");
    const Symbols data = DataOf(block);
    const std::uint8_t check = CheckByte(BlockBytes(payload, c.number));
    EXPECT_EQ(block.checkByte, check);
    const std::array<std::uint8_t, 6> header = HeaderSymbols(c.number, c.x, check);
    ASSERT_GE(data.size(), 6u);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), data.begin()));
    ASSERT_EQ(data.size() - 6, block.payloadSymbols.size());
    for (std::size_t i = 0; i < block.payloadSymbols.size(); ++i) {
      const std::size_t at = static_cast<std::size_t>(16 * c.number + c.x) + i;
      EXPECT_EQ(data[6 + i], at < stream.size() ? stream[at] : 0) << "payload symbol " << i;
    }
  }
  const EncodedBlock full = EncodeBlock(payload, {.blockNumber = 0});
  const std::size_t offsets[] = {0, 7, 14, 21, 28, 35, 42, 48};
  for (int row = 0; row < 8; ++row) EXPECT_EQ(RowOffset(full, row), offsets[row]) << row;
  const EncodedBlock lying = EncodeBlock(payload, {.blockNumber = 1, .checkByteOverride = 0x12});
  EXPECT_EQ(lying.checkByte, 0x12);
  EXPECT_EQ(DataOf(lying)[5], 0x12 & 7);
}

// Every plan carries each symbol of the stream exactly once, in order, and each block's
// header says where its symbols belong.
TEST(BlockEncoder, PlansCoverTheStreamOnceWithSpillIntoTheNextBlock) {
  const std::vector<std::uint8_t> payload = SamplePayload();
  const int streamLength = BlockCountOf(payload) * 16;
  const struct {
    std::uint16_t mask;
    std::uint16_t first;
    int expectedSecondX;
  } cases[] = {{kAllCells, kAllCells, 0}, {kAllCells, FirstCells(8), 4}, {kAllCells, FirstCells(12), 10},
               {FirstCells(12), FirstCells(12), 10}, {FirstCells(9), kAllCells, 0}, {FirstCells(6), FirstCells(7), 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mask " << c.mask << " first " << c.first);
    const std::vector<BlockPlan> plans = PlanBlocks(payload, {.cellMask = c.mask, .firstCellMask = c.first});
    ASSERT_GE(plans.size(), 2u);
    EXPECT_EQ(plans[0].blockNumber, 0);
    EXPECT_EQ(plans[0].firstSymbol, 0);
    EXPECT_EQ(plans[1].firstSymbol, c.expectedSecondX);
    int next = 0;
    for (const BlockPlan& plan : plans) {
      EXPECT_EQ(16 * plan.blockNumber + plan.firstSymbol, next);
      EXPECT_EQ(plan.cellMask, &plan == &plans[0] ? c.first : c.mask);
      next += PayloadCapacity(plan.cellMask);
    }
    EXPECT_GE(next, streamLength);
    EXPECT_LT(next - PayloadCapacity(plans.back().cellMask), streamLength);
  }
}

TEST(BlockEncoder, PlansRefuseMasksWithoutPayloadAndPayloadsPastSixtyFourBlocks) {
  const std::vector<std::uint8_t> payload = SamplePayload();
  for (int cells : {1, 2, 3, 4, 5}) EXPECT_TRUE(PlanBlocks(payload, {.cellMask = FirstCells(cells)}).empty()) << cells;
  EXPECT_TRUE(PlanBlocks(payload, {.firstCellMask = FirstCells(5)}).empty());
  EXPECT_EQ(PlanBlocks(std::vector<std::uint8_t>(384, 1)).size(), 64u);
  EXPECT_EQ(PlanBlocks(std::vector<std::uint8_t>(384, 1)).back().blockNumber, 63);
  EXPECT_TRUE(PlanBlocks(std::vector<std::uint8_t>(385, 1)).empty());
}

}  // namespace
}  // namespace orla::pattern
