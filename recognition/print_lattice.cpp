#include "print_lattice.h"

#include <algorithm>
#include <cmath>

namespace orla {
namespace {

constexpr int kRowDots = 12;
constexpr int kBlockDots = 2 * kRowDots;
// Row A runs from (-11, 0) to the corner (0, 0); row B from (3, 3) to (3, 14).
constexpr int kRowBU = 3;
constexpr int kRowBFirstW = 3;
// The two prints of a page lie a fraction of a pitch apart; the dots of one print, found on a
// scan, within a few tenths of a pixel of their fitted places. A fifth of a pitch is 0.85
// pixels at 300 dots per inch and 1.7 at 600.
constexpr double kPhaseTolerance = 0.2;
// How many of its standard deviations the fit may be off where it places a block, but never
// past three tenths of a pitch: a young lattice that took in a block nearer half a pitch off
// could place it a whole pitch wrong and bend to a lattice of another pitch that holds every
// third column of the print; the block starts a print of its own, and the lattices come
// together when the whole page has fitted them (PagePrints::Settle).
constexpr double kFitDeviations = 3.0;
constexpr double kMostPhaseTolerance = 0.3;
// A block's own dots about its mean place: a frame of another shape (turned a quarter turn,
// or mirrored) lies pitches off; a print turned a degree against this one, a few hundredths.
constexpr double kShapeTolerance = 0.35;
// Dot centres are whole pixels: half a pixel of rounding on either axis even on a clean page.
constexpr double kLeastSpread = 0.3;
// How far a scan may take the lattice from square, per pitch: a tenth of a percent.
constexpr double kSquareness = 0.001;

struct BlockDot {
  Point at;
  int u;  // lattice coordinates from the block's corner
  int w;
};

std::array<BlockDot, kBlockDots> DotsOf(const PrintLattice::ReferenceRow& rowA, const PrintLattice::ReferenceRow& rowB) {
  std::array<BlockDot, kBlockDots> dots{};
  for (int k = 0; k < kRowDots; ++k) {
    dots[k] = {rowA[k], k - (kRowDots - 1), 0};
    dots[kRowDots + k] = {rowB[k], kRowBU, kRowBFirstW + k};
  }
  return dots;
}

// The inverse of a symmetric positive definite matrix, by Gauss-Jordan elimination; false when
// it is singular.
template <std::size_t N>
bool Invert(std::array<std::array<double, N>, N> m, std::array<std::array<double, N>, N>& inverse) {
  for (std::size_t i = 0; i < N; ++i)
    for (std::size_t j = 0; j < N; ++j) inverse[i][j] = i == j ? 1.0 : 0.0;
  for (std::size_t col = 0; col < N; ++col) {
    std::size_t pivot = col;
    for (std::size_t r = col + 1; r < N; ++r)
      if (std::abs(m[r][col]) > std::abs(m[pivot][col])) pivot = r;
    if (std::abs(m[pivot][col]) < 1e-12) return false;
    std::swap(m[col], m[pivot]);
    std::swap(inverse[col], inverse[pivot]);
    const double scale = 1.0 / m[col][col];
    for (std::size_t j = 0; j < N; ++j) {
      m[col][j] *= scale;
      inverse[col][j] *= scale;
    }
    for (std::size_t r = 0; r < N; ++r) {
      if (r == col || m[r][col] == 0.0) continue;
      const double factor = m[r][col];
      for (std::size_t j = 0; j < N; ++j) {
        m[r][j] -= factor * m[col][j];
        inverse[r][j] -= factor * inverse[col][j];
      }
    }
  }
  return true;
}

}  // namespace

PrintLattice::PrintLattice(const ReferenceRow& rowA, const ReferenceRow& rowB) {
  // The block's own rows tell the pitch the squareness is held to.
  const double pitch = std::hypot(rowA[kRowDots - 1].x - rowA[0].x, rowA[kRowDots - 1].y - rowA[0].y) / (kRowDots - 1);
  const double squareness = std::max(kSquareness * pitch, 1e-3);
  squareWeight_ = (kLeastSpread / squareness) * (kLeastSpread / squareness);
  Add(rowA, rowB, {});
}

double PrintLattice::Pitch() const { return std::hypot(fit_[1], fit_[4]); }

std::optional<LatticeOffset> PrintLattice::Place(const ReferenceRow& rowA, const ReferenceRow& rowB) const {
  const std::optional<BlockPlace> place = Measure(rowA, rowB);
  if (!place || !place->OnLattice()) return std::nullopt;
  return place->at;
}

std::optional<PrintLattice::BlockPlace> PrintLattice::Measure(const ReferenceRow& rowA, const ReferenceRow& rowB) const {
  const double det = fit_[1] * fit_[5] - fit_[2] * fit_[4];
  if (std::abs(det) < 1e-9) return std::nullopt;
  const std::array<BlockDot, kBlockDots> dots = DotsOf(rowA, rowB);

  // The corner's lattice coordinates, as every dot of the block puts them.
  double cornerU = 0;
  double cornerW = 0;
  for (const BlockDot& d : dots) {
    const double x = d.at.x - fit_[0];
    const double y = d.at.y - fit_[3];
    cornerU += (x * fit_[5] - fit_[2] * y) / det - d.u;
    cornerW += (fit_[1] * y - fit_[4] * x) / det - d.w;
  }
  const LatticeOffset at{static_cast<int>(std::lround(cornerU / kBlockDots)),
                         static_cast<int>(std::lround(cornerW / kBlockDots))};

  // The dots' offsets from where the lattice puts them: their mean is the block's phase
  // against this lattice, their spread about it the block's shape.
  std::array<double, kBlockDots> ex{};
  std::array<double, kBlockDots> ey{};
  double meanX = 0;
  double meanY = 0;
  double meanU = 0;
  double meanW = 0;
  for (int k = 0; k < kBlockDots; ++k) {
    const double u = at.u + dots[k].u;
    const double w = at.w + dots[k].w;
    ex[k] = dots[k].at.x - X(u, w);
    ey[k] = dots[k].at.y - Y(u, w);
    meanX += ex[k];
    meanY += ey[k];
    meanU += u;
    meanW += w;
  }
  meanX /= kBlockDots;
  meanY /= kBlockDots;
  meanU /= kBlockDots;
  meanW /= kBlockDots;
  double shape = 0;
  for (int k = 0; k < kBlockDots; ++k) shape += (ex[k] - meanX) * (ex[k] - meanX) + (ey[k] - meanY) * (ey[k] - meanY);
  shape = std::sqrt(shape / kBlockDots);

  const double pitch = Pitch();
  if (shape > kShapeTolerance * pitch) return std::nullopt;
  // How far the fit itself may be off at the block's mean place, on either axis, and the
  // block's own noise.
  const auto leverage = [&](std::size_t first) {
    const std::array<double, 3> q{1.0, meanU, meanW};
    double sum = 0;
    for (std::size_t i = 0; i < 3; ++i)
      for (std::size_t j = 0; j < 3; ++j) sum += q[i] * inverse_[first + i][first + j] * q[j];
    return std::max(0.0, sum);
  };
  const double sigma = std::max(spread_, kLeastSpread);
  const double deviation = sigma * std::sqrt(std::max(leverage(0), leverage(3)) + 1.0 / kBlockDots);
  return BlockPlace{at, meanX, meanY,
                    std::min(kPhaseTolerance * pitch + kFitDeviations * deviation, kMostPhaseTolerance * pitch)};
}

void PrintLattice::Add(const ReferenceRow& rowA, const ReferenceRow& rowB, LatticeOffset at) {
  for (const BlockDot& d : DotsOf(rowA, rowB)) {
    const std::array<double, 3> q{1.0, static_cast<double>(at.u + d.u), static_cast<double>(at.w + d.w)};
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) design_[i][j] += q[i] * q[j];
      sumX_[i] += q[i] * d.at.x;
      sumY_[i] += q[i] * d.at.y;
    }
    squares_ += static_cast<double>(d.at.x) * d.at.x + static_cast<double>(d.at.y) * d.at.y;
    ++dots_;
  }
  Solve();
}

void PrintLattice::Solve() {
  // The dots' normal equations for x and for y, side by side, and the squareness held as two
  // observations more: wx + uy = 0 and wy - ux = 0.
  Matrix normal{};
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t j = 0; j < 3; ++j) normal[i][j] = normal[3 + i][3 + j] = design_[i][j];
  constexpr std::size_t ux = 1, wx = 2, uy = 4, wy = 5;
  normal[wx][wx] += squareWeight_;
  normal[uy][uy] += squareWeight_;
  normal[wx][uy] += squareWeight_;
  normal[uy][wx] += squareWeight_;
  normal[wy][wy] += squareWeight_;
  normal[ux][ux] += squareWeight_;
  normal[wy][ux] -= squareWeight_;
  normal[ux][wy] -= squareWeight_;
  if (!Invert(normal, inverse_)) return;
  const Vector right{sumX_[0], sumX_[1], sumX_[2], sumY_[0], sumY_[1], sumY_[2]};
  for (std::size_t i = 0; i < kParameters; ++i) {
    fit_[i] = 0;
    for (std::size_t j = 0; j < kParameters; ++j) fit_[i] += inverse_[i][j] * right[j];
  }
  // What the fit leaves unexplained in the dots, over the degrees of freedom it leaves.
  double explained = 0;
  double fitted = 0;
  for (std::size_t i = 0; i < kParameters; ++i) {
    explained += fit_[i] * right[i];
    const std::size_t block = i < 3 ? 0 : 3;
    for (std::size_t j = 0; j < 3; ++j) fitted += fit_[i] * design_[i - block][j] * fit_[block + j];
  }
  const double residual = squares_ - 2 * explained + fitted;
  const int freedom = 2 * dots_ - kParameters;
  spread_ = freedom > 0 ? std::sqrt(std::max(0.0, residual) / freedom) : 0.0;
}

}  // namespace orla
