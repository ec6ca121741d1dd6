#pragma once
// Block frames laid out by hand on a lattice: the reference rows a block at a lattice offset
// shows, for tests of what the recognizer does with where a reading lies.

#include <cmath>

#include "print_lattice.h"

namespace orla::test {

struct Frame {
  PrintLattice::ReferenceRow rowA{};
  PrintLattice::ReferenceRow rowB{};
};

// A lattice of pitch vector (ux, uy), w a quarter turn from u towards y, with its (0, 0) at
// (originX, originY): the pixel of lattice point (u, w), rounded as a dot's centre is.
struct TestLattice {
  double originX = 400;
  double originY = 300;
  double ux = 6;
  double uy = 6;

  Point At(double u, double w) const {
    return Point{static_cast<int>(std::floor(originX + u * ux - w * uy + 0.5)),
                 static_cast<int>(std::floor(originY + u * uy + w * ux + 0.5))};
  }
  // The frame of the block whose corner (the last dot of row A) lies at (u, w).
  Frame FrameAt(double u, double w) const {
    Frame f;
    for (int k = 0; k < 12; ++k) {
      f.rowA[static_cast<std::size_t>(k)] = At(u + k - 11, w);
      f.rowB[static_cast<std::size_t>(k)] = At(u + 3, w + 3 + k);
    }
    return f;
  }
};

}  // namespace orla::test
