#pragma once
// Where one print's blocks lie on its lattice. A printer lays its blocks out in a grid of
// tiles, the same step from each block to the next across the page and down it, and two of
// its blocks never overlap. Two prints on one lattice (a page printed twice, moved by whole
// pitches, or a clipping that happens to fall in phase) show as one lattice whose blocks lie
// on two grids, one moved against the other by some pitches that are not a whole number of
// tiles; most blocks where the prints overlap are spoiled, so the blocks that read lie apart
// and none need be contested.
//
// The grid is told from the blocks that were read: every difference between two of their
// places, and every sum of such differences, is a step from one tile to another of one grid.
// The places of one grid generate only steps of whole tiles, none shorter than a block; blocks
// of two grids generate steps of a few pitches, which would make blocks of one print overlap.

#include "print_lattice.h"

namespace orla {

class BlockGrid {
 public:
  // A block's frame spans 15 pitches along both rows (row A from -11 to the corner, row B at
  // 3, from 3 to 14): two blocks whose corners are closer than a reference row's length along
  // both would overlap.
  static constexpr int kShortestStep = 12;

  void Add(LatticeOffset at);
  // No step between the blocks added, nor any sum of such steps, is shorter than a block.
  bool OneGrid() const;
  // The steps span the plane: the blocks added do not all lie in one line.
  bool Spans() const { return u1_ != 0 && w2_ != 0; }

 private:
  // The steps as a basis in echelon form: (u1, w1) and (0, w2), u1 >= 0, w2 >= 0, 0 <= w1 <
  // w2 when w2 > 0; a zero vector where the steps span less.
  bool first_ = true;
  LatticeOffset origin_{};
  long long u1_ = 0;
  long long w1_ = 0;
  long long w2_ = 0;
};

}  // namespace orla
