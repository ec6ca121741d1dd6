#include "block_grid.h"

#include <cstdlib>
#include <numeric>

namespace orla {
namespace {

// g = gcd(a, b) >= 0 with s a + t b = g.
long long ExtendedGcd(long long a, long long b, long long& s, long long& t) {
  long long s0 = 1, t0 = 0, s1 = 0, t1 = 1;
  while (b != 0) {
    const long long q = a / b;
    const long long r = a - q * b;
    a = b;
    b = r;
    const long long s2 = s0 - q * s1;
    const long long t2 = t0 - q * t1;
    s0 = s1;
    t0 = t1;
    s1 = s2;
    t1 = t2;
  }
  if (a < 0) {
    a = -a;
    s0 = -s0;
    t0 = -t0;
  }
  s = s0;
  t = t0;
  return a;
}

long long FloorMod(long long a, long long m) { return ((a % m) + m) % m; }

}  // namespace

void BlockGrid::Add(LatticeOffset at) {
  if (first_) {
    first_ = false;
    origin_ = at;
    return;
  }
  long long u = at.u - origin_.u;
  long long w = at.w - origin_.w;
  if (u != 0) {
    // Combine the step with (u1, w1) into one whose u is the gcd of both, and a step along w.
    long long s = 0;
    long long t = 0;
    const long long g = ExtendedGcd(u1_, u, s, t);
    const long long newW1 = s * w1_ + t * w;
    const long long alongW = (u / g) * w1_ - (u1_ / g) * w;
    u1_ = g;
    w1_ = newW1;
    w = alongW;
  }
  w2_ = std::gcd(w2_, std::llabs(w));
  if (w2_ > 0) w1_ = FloorMod(w1_, w2_);
}

bool BlockGrid::OneGrid() const {
  // Every step is i (u1, w1) + j (0, w2); one shorter than kShortestStep along u needs
  // |i u1| < kShortestStep, and along w the j that brings i w1 nearest 0.
  const auto shortAlongW = [&](long long w) { return std::llabs(w) < kShortestStep; };
  if (u1_ == 0) return w2_ == 0 || w2_ >= kShortestStep;
  for (long long i = 0; i * u1_ < kShortestStep; ++i) {
    const long long w = i * w1_;
    if (w2_ == 0) {
      if (i > 0 && shortAlongW(w)) return false;
      continue;
    }
    const long long r = FloorMod(w, w2_);
    if (shortAlongW(r) && (i > 0 || r > 0)) return false;
    if (shortAlongW(r - w2_) && (i > 0 || r - w2_ != 0)) return false;
  }
  return true;
}

}  // namespace orla
