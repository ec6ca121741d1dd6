#pragma once
// The data of one block, from the bits of its used cells to a reading: the bits are cut into
// 3-bit symbols and the symbols into rows of codewords; the first six data symbols form the
// block header (block number, X, check byte) and the rest are payload symbols, placed from
// symbol X of the block on and running over into the next block.

#include <array>
#include <cstdint>
#include <span>

#include "block_reading.h"

namespace orla {

inline constexpr int kBlockDataBits = 144;  // 16 cells of 9 bits
inline constexpr int kBlockDataBytes = kBlockDataBits / 8;
inline constexpr int kBlockDataSymbols = kBlockDataBits / 3;
inline constexpr int kMostBlockRows = (kBlockDataSymbols + 6) / 7;

struct BlockRows {
  std::array<int, kMostBlockRows> lengths{};
  int count = 0;
};

// Rows of 7 symbols; a remainder of 3 or more is a short last row, and a remainder of 1 or 2
// shares the last full row's place as two rows of 4 and 4 or 4 and 5. Nothing (count 0) for
// 1 or 2 symbols, which make no codeword, or for more than a block holds.
BlockRows BlockRowShape(int symbols);

// How far each value of a block read can be trusted: the CodewordTrust of the codeword it
// came from, and no more than that of the header rows that placed it; 0 for a value not read.
struct ValueTrust {
  int header = 0;  // rows 0 and 1: block number, X and check byte
  std::array<std::uint8_t, kBlockSymbols> symbols{};
  std::array<std::uint8_t, kBlockSymbols> nextSymbols{};
};

}  // namespace orla

// Decodes `bitCount` bits (0 to 144) of `bits` into this block's reading and the payload
// symbols that run over into the next block. 0 when the reading has a block number and a
// payload symbol or the next reading has a symbol, else 1. Both readings are cleared first.
// `trust`, when given, tells how far each value decoded can be trusted.
int DecodeBlockData(int bitCount, BlockReading& reading, std::span<const std::uint8_t> bits, BlockReading& next,
                    orla::ValueTrust* trust = nullptr);
