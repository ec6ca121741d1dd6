#include "fitted_grid.h"

#include <cmath>

namespace orla {
namespace {

// Solves the 3 x 3 system m x = b by Cramer's rule; false when m is singular.
bool Solve3(const std::array<std::array<double, 3>, 3>& m, const std::array<double, 3>& b, std::array<double, 3>& x) {
  const auto det = [](const std::array<std::array<double, 3>, 3>& a) {
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
  };
  const double d = det(m);
  if (std::abs(d) < 1e-9) return false;
  for (int c = 0; c < 3; ++c) {
    std::array<std::array<double, 3>, 3> mc = m;
    for (int r = 0; r < 3; ++r) mc[r][c] = b[r];
    x[c] = det(mc) / d;
  }
  return true;
}

}  // namespace

FittedGrid::FittedGrid(LatticeOffset origin, LatticeOffset first, LatticeOffset second)
    : u0_(origin.u),
      w0_(origin.w),
      step1_{static_cast<double>(first.u - origin.u), static_cast<double>(first.w - origin.w)},
      step2_{static_cast<double>(second.u - origin.u), static_cast<double>(second.w - origin.w)} {
  Add(origin, {0, 0});
  Add(first, {1, 0});
  Add(second, {0, 1});
}

std::optional<std::array<int, 2>> FittedGrid::Near(LatticeOffset at) const {
  const double det = step1_[0] * step2_[1] - step1_[1] * step2_[0];
  if (std::abs(det) < 1e-9) return std::nullopt;
  const double du = at.u - u0_;
  const double dw = at.w - w0_;
  const double c1 = (du * step2_[1] - dw * step2_[0]) / det;
  const double c2 = (step1_[0] * dw - step1_[1] * du) / det;
  const std::array<int, 2> k{static_cast<int>(std::lround(c1)), static_cast<int>(std::lround(c2))};
  const double offU = du - k[0] * step1_[0] - k[1] * step2_[0];
  const double offW = dw - k[0] * step1_[1] - k[1] * step2_[1];
  if (std::abs(offU) > kSlack || std::abs(offW) > kSlack) return std::nullopt;
  return k;
}

void FittedGrid::Add(LatticeOffset at, std::array<int, 2> k) {
  const std::array<double, 3> row{1.0, static_cast<double>(k[0]), static_cast<double>(k[1])};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) design_[i][j] += row[i] * row[j];
    sumU_[i] += row[i] * at.u;
    sumW_[i] += row[i] * at.w;
  }
  ++blocks_;
  if (blocks_ >= 3) Solve();
}

void FittedGrid::Solve() {
  std::array<double, 3> u{};
  std::array<double, 3> w{};
  if (!Solve3(design_, sumU_, u) || !Solve3(design_, sumW_, w)) return;
  u0_ = u[0];
  w0_ = w[0];
  step1_ = {u[1], w[1]};
  step2_ = {u[2], w[2]};
}

}  // namespace orla
