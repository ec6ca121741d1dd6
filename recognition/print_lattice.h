#pragma once
// One print's lattice as the page shows it. A printer lays every dot of a page on one lattice
// of dot pitches, so all the blocks of one print share its pitch, its angle and the phase of
// its grid; a second print on the same page (a photocopy carries the original's pattern and
// the copier's, a clipping of another page shows a piece of its print) lies on a lattice of
// its own, turned against the first or a fraction of a pitch off it.
//
// The lattice is the map from lattice coordinates (u along a block's row A, w along its row
// B, in pitches) to pixels, fitted by least squares to the reference dots of every block that
// lies on it. Fitted over the whole print it follows a scan's turn and scale; a block is on
// it when its 24 reference dots lie, on average, within a fifth of a pitch of where the
// lattice puts them, allowing for how far the fit is uncertain where the block lies.
//
// The dots of one block give its rows' directions to a percent or two only: a dot's centre is
// a whole pixel, and along a row, on a slightly turned scan, the roundings hardly change from
// dot to dot. So a print known from one row of blocks would place the next row of blocks half
// a pitch off. A printer's lattice is square (w is u turned a quarter turn), and a scanner
// keeps it square to well within a percent: the fit holds w to u turned, as firmly as a tenth
// of a percent, so one row of blocks also gives the rows across it; dots spread over the page
// outweigh it where the scan is not square.

#include <array>
#include <cmath>
#include <optional>

#include "point.h"

namespace orla {

// Where a block lies on a lattice: the lattice coordinates of its corner, the last dot of row A.
struct LatticeOffset {
  int u = 0;
  int w = 0;
  friend bool operator==(const LatticeOffset&, const LatticeOffset&) = default;
};

class PrintLattice {
 public:
  using ReferenceRow = std::array<Point, 12>;

  // The lattice of the print the block of these reference rows belongs to, its corner at (0, 0).
  PrintLattice(const ReferenceRow& rowA, const ReferenceRow& rowB);

  // Where the block lies on this lattice, or nothing when its dots are off it.
  std::optional<LatticeOffset> Place(const ReferenceRow& rowA, const ReferenceRow& rowB) const;
  // The nearest place of the block on this lattice, how far its dots lie off it on average
  // and how far they may; nothing when the block's shape is not this lattice's.
  struct BlockPlace {
    LatticeOffset at;
    double offX = 0;       // the mean offset of its dots from their places, pixels
    double offY = 0;
    double tolerance = 0;  // how long that offset may be, pixels
    bool OnLattice() const { return std::hypot(offX, offY) <= tolerance; }
  };
  std::optional<BlockPlace> Measure(const ReferenceRow& rowA, const ReferenceRow& rowB) const;
  // Adds the block's dots, placed at `at`, to the fit.
  void Add(const ReferenceRow& rowA, const ReferenceRow& rowB, LatticeOffset at);

  // One pitch along u, in pixels.
  double Pitch() const;

 private:
  static constexpr int kParameters = 6;  // x0, ux, wx, y0, uy, wy
  using Vector = std::array<double, kParameters>;
  using Matrix = std::array<Vector, kParameters>;

  // Sums of the normal equations of x = x0 + ux u + wx w and y = y0 + uy u + wy w over the
  // dots, which share one design: the sums of (1, u, w) (1, u, w)^T, and of (1, u, w) x and y.
  std::array<std::array<double, 3>, 3> design_{};
  std::array<double, 3> sumX_{};
  std::array<double, 3> sumY_{};
  double squares_ = 0;  // sum of x^2 + y^2, for what the fit leaves unexplained
  int dots_ = 0;
  // How strongly w is held to u turned a quarter turn, set from the first block's pitch.
  double squareWeight_ = 0;
  // The fit, solved after every addition, and the inverse of its normal matrix.
  Vector fit_{};
  Matrix inverse_{};
  double spread_ = 0;  // of a dot about the fit, per coordinate, in pixels

  void Solve();
  // The fitted pixel of lattice point (u, w).
  double X(double u, double w) const { return fit_[0] + u * fit_[1] + w * fit_[2]; }
  double Y(double u, double w) const { return fit_[3] + u * fit_[4] + w * fit_[5]; }
};

}  // namespace orla
