#pragma once
// A small seeded generator (SplitMix64): the same seed gives the same page on every machine,
// so a failing case can be replayed from the seed alone.

#include <cstdint>

namespace orla::pattern {

class SeededRandom {
 public:
  explicit SeededRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  // Uniform in [0, bound); 0 when bound is 0 or less.
  int Below(int bound) { return bound <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(bound)); }
  bool Chance(double probability) { return probability > 0 && Unit() < probability; }

 private:
  std::uint64_t state_;
};

}  // namespace orla::pattern
