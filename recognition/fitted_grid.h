#pragma once
// A print's grid of tiles as its blocks' places on a lattice show it, fitted by least squares:
// place = origin + k1 step1 + k2 step2 for whole numbers (k1, k2). The places come from a
// lattice fitted over the page, which may be a percent or two off in pitch where its dots
// were hard to read; its places are then a pitch or two off a page away, and a grid of whole
// steps would part one print. Fitted with steps of any length, the grid follows that, and a
// block lies on it when its place is within a few pitches of one of the grid's points; a
// second print moved by pitches that are not whole tiles lies further off.

#include <array>
#include <optional>

#include "print_lattice.h"

namespace orla {

class FittedGrid {
 public:
  // How far off its grid point a block of the grid may lie, along each row, in pitches.
  static constexpr double kSlack = 2.0;

  // The grid of the block at `origin` and of its neighbours at `first` and `second`, one step
  // of the grid along each.
  FittedGrid(LatticeOffset origin, LatticeOffset first, LatticeOffset second);

  // The whole numbers (k1, k2) of the grid point the place lies near, or nothing.
  std::optional<std::array<int, 2>> Near(LatticeOffset at) const;
  // Adds a block at grid point (k1, k2) to the fit.
  void Add(LatticeOffset at, std::array<int, 2> k);

 private:
  // Sums of the normal equations of u = u0 + k1 a1 + k2 a2 and w likewise, over (1, k1, k2).
  std::array<std::array<double, 3>, 3> design_{};
  std::array<double, 3> sumU_{};
  std::array<double, 3> sumW_{};
  int blocks_ = 0;
  // The fit: origin (u0, w0) and the steps.
  double u0_ = 0;
  double w0_ = 0;
  std::array<double, 2> step1_{};
  std::array<double, 2> step2_{};

  void Solve();
};

}  // namespace orla
