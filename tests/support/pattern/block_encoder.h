#pragma once
// A block as symbols: its cell map (which of its 16 data cells carry data) in three codewords,
// and its data rows, each a codeword, starting with the 18-bit block header.
//
// A block's payload symbols are taken from the payload's symbol stream, 16 symbols (6 bytes)
// to a block number: the block numbered b with first symbol X carries the stream from symbol
// 16b + X on, as many symbols as its used cells hold; those past its 16th land in block b + 1.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace orla::pattern {

inline constexpr std::uint16_t kAllCells = 0xFFFF;
inline constexpr int kSymbolsPerBlock = 16;
inline constexpr int kHeaderSymbols = 6;
inline constexpr int kLargestBlockNumber = 63;  // six header bits

struct BlockPlan {
  int blockNumber = 0;   // 0 to 63
  int firstSymbol = 0;   // X: where in block `blockNumber` the first payload symbol belongs, 0 to 15
  std::uint16_t cellMask = kAllCells;  // bit c set: data cell c is used
  int allCellsFlag = -1;  // the cell map's all-cells flag; -1: 1 exactly when every cell is used
  std::uint8_t spareCellMapBits = 0;  // the 7 cell-map data bits that carry no meaning (low 7 bits)
  int checkByteOverride = -1;  // -1: the true check byte of block `blockNumber`
};

struct EncodedBlock {
  BlockPlan plan;
  std::uint8_t checkByte = 0;
  // Cell-map symbols 0 to 15: codewords of 7, 4 and 5 symbols. On the page a dot is a 1 bit.
  std::array<std::uint8_t, 16> cellMapSymbols{};
  // The data rows joined, 3 symbols per used cell. On the page a dot is a 0 bit.
  std::vector<std::uint8_t> dataSymbols;
  std::vector<int> rowLengths;
  std::vector<std::uint8_t> payloadSymbols;  // what the block carries after its header
};

// Index in dataSymbols of the first symbol of data row `row` (so a test can corrupt symbol i
// of row r as block.dataSymbols[RowOffset(block, r) + i]).
std::size_t RowOffset(const EncodedBlock& block, int row);

// Row lengths for a block of `symbolCount` data-grid symbols: rows of 7; a remainder of 3 or
// more is a last short row, a remainder of 1 or 2 makes the last two rows 4 + 4 or 4 + 5.
std::vector<int> RowLengths(int symbolCount);
int UsedCellCount(std::uint16_t cellMask);
// Payload symbols a block with these cells carries after its header; 0 or less when its rows
// cannot even hold the header (4 used cells give 0, 5 give a header the reader cannot finish).
int PayloadCapacity(std::uint16_t cellMask);
// True when rows 0 and 1 together hold the six header symbols (not so for 1, 3 or 5 cells).
bool HeaderFits(std::uint16_t cellMask);

// Block number (6 bits), X (4 bits) and check byte (8 bits) as six 3-bit symbols, first the
// most significant.
std::array<std::uint8_t, 6> HeaderSymbols(int blockNumber, int firstSymbol, std::uint8_t checkByte);
// The 16 cell-map symbols: data bits 0 to 15 are the cells' flags, bit 16 the all-cells flag,
// bits 17 to 23 the spare bits; each of the three codewords gets its check symbols.
std::array<std::uint8_t, 16> CellMapSymbols(std::uint16_t cellMask, int allCellsFlag, std::uint8_t spareBits);
inline constexpr std::array<int, 3> kCellMapCodewordLengths{7, 4, 5};

// The payload as 3-bit symbols, block after block, padded with zero bytes to whole blocks.
std::vector<std::uint8_t> PayloadSymbolStream(const std::vector<std::uint8_t>& payload);

// Encodes one block of `payload` as `plan` says. Payload symbols past the end of the stream
// are 0.
EncodedBlock EncodeBlock(const std::vector<std::uint8_t>& payload, const BlockPlan& plan);

struct PlanOptions {
  std::uint16_t cellMask = kAllCells;      // cells of every block but the first
  std::uint16_t firstCellMask = kAllCells;  // cells of the first block: fewer cells shift X of all later ones
};
// Blocks that carry the whole payload in stream order, each starting where the one before it
// ended; empty when a mask cannot hold the header or carries no payload symbol or the payload needs more than 64
// block numbers.
std::vector<BlockPlan> PlanBlocks(const std::vector<std::uint8_t>& payload, const PlanOptions& options = {});

}  // namespace orla::pattern
