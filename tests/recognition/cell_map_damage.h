#pragma once
// Cell maps spoiled on purpose: a codeword changed so that the reader must refuse it, and the
// dot edits that print the change.

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "block_encoder.h"
#include "block_layout.h"
#include "codeword.h"
#include "page_painter.h"

namespace orla::test {

using orla::pattern::DotEdit;
using orla::pattern::EncodedBlock;

// Dot edits that make the printed cell map read `symbols` in place of the block's own.
inline std::vector<DotEdit> CellMapEdits(int placement, const EncodedBlock& block,
                                         const std::array<std::uint8_t, 16>& symbols) {
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
inline std::array<std::uint8_t, 16> SpoiledCellMap(const EncodedBlock& block, int word) {
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

}  // namespace orla::test
