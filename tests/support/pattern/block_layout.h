#pragma once
// Where a block's dots lie, in pitch units (u, w): u runs along reference row A from its
// first dot to its last, w is u turned a quarter turn from the page's x axis towards its y
// axis, and the last dot of row A is the origin.
//
//   row A            (k - 11, 0), k = 0..11
//   corner marker    (1, 1) (1, 2) (2, 1) (2, 2)
//   row B            (3, 3 + k), k = 0..11
//   cell-map lines   (j - 11, -2), (j - 11, -1), (4, 3 + j), (5, 3 + j), j = 0..11: bits 0..47
//   data grid        line k through B[k], column j through A[j]: (j - 11, 3 + k)
//
// A block thus fills u = -11..5, w = -2..14. On a cell-map line a dot is a 1 bit; in the data
// grid a dot is a 0 bit. The data bits are read line by line, and within a line cell column
// by cell column (cells 4(k/3) to 4(k/3) + 3), each used cell giving the 3 positions of its
// columns in increasing j; so one cell's 9 bits lie on three lines.

#include <cstdint>
#include <vector>

#include "block_encoder.h"

namespace orla::pattern {

struct LatticePoint {
  int u = 0;
  int w = 0;
  friend bool operator==(const LatticePoint&, const LatticePoint&) = default;
};

enum class DotRole : std::uint8_t { ReferenceA, Marker, ReferenceB, CellMap, Data };

struct BlockDot {
  LatticePoint at{};
  DotRole role = DotRole::Data;
};

inline constexpr int kBlockMinU = -11;
inline constexpr int kBlockMaxU = 5;
inline constexpr int kBlockMinW = -2;
inline constexpr int kBlockMaxW = 14;

LatticePoint ReferenceAPosition(int k);
LatticePoint ReferenceBPosition(int k);
// Bit 0 to 47 of the cell map.
LatticePoint CellMapBitPosition(int bit);
// Crossing of data line k with column j.
LatticePoint GridPosition(int line, int column);
// Cell (0 to 15) that a grid position belongs to.
int CellOf(int line, int column);
// Positions of the data bits of a block with these cells, in reading order.
std::vector<LatticePoint> DataBitPositions(std::uint16_t cellMask);

// Every dot the block prints: the frame, the 1 bits of its cell map, the 0 bits of its data.
// Unused cells stay empty.
std::vector<BlockDot> BlockDots(const EncodedBlock& block);

}  // namespace orla::pattern
