#include "codeword.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "ende_code.h"

namespace orla {
namespace {

// One codec per codeword length, built once: a block read builds up to ten codewords, and
// the tables are the same for every block.
const CEnDe_Code* CodecFor(int n) {
  static const auto codecs = [] {
    std::array<std::unique_ptr<CEnDe_Code>, kLongestCodeword + 1> made;
    for (int length = kShortestCodeword; length <= kLongestCodeword; ++length) {
      const int k = CodewordDataSymbols(length);
      made[length] = std::make_unique<CEnDe_Code>(k, length, 3, 0xB, 1, 1, length - k);
    }
    return made;
  }();
  if (n < kShortestCodeword || n > kLongestCodeword) return nullptr;
  return codecs[n].get();
}

double Binomial(int n, int k) {
  double value = 1;
  for (int i = 1; i <= k; ++i) value = value * (n - k + i) / i;
  return value;
}

// The trust of a word of n symbols decoded with `corrected` corrections, worked out once for
// each pair by CodewordTrust's table.
int TrustOf(int n, int corrected) {
  constexpr double kMisread = 1.0 / 6.0;
  const int checks = n - CodewordDataSymbols(n);
  const int repairable = checks / 2;
  double exactly = 0;  // P(the word had exactly `corrected` errors)
  double beyond = 1;   // P(more errors than the code repairs)
  for (int e = 0; e <= n; ++e) {
    const double p = Binomial(n, e) * std::pow(kMisread, e) * std::pow(1 - kMisread, n - e);
    if (e == corrected) exactly = p;
    if (e <= repairable) beyond -= p;
  }
  // Words at distance `corrected` from some codeword, as a share of all words.
  const double sphere = Binomial(n, corrected) * std::pow(7.0, corrected) / std::pow(8.0, checks);
  const double ratio = exactly / (beyond * sphere);
  return std::max(1, static_cast<int>(std::lround(2 * std::log10(ratio))));
}

}  // namespace

int CodewordTrust(int n, int corrected) {
  // Every row of every block read asks: the odds are the same each time.
  static const auto table = [] {
    std::array<std::array<int, kLongestCodeword + 1>, kLongestCodeword + 1> made{};
    for (int length = kShortestCodeword; length <= kLongestCodeword; ++length) {
      for (int c = 0; c <= length; ++c) made[length][c] = TrustOf(length, c);
    }
    return made;
  }();
  if (n < kShortestCodeword || n > kLongestCodeword || corrected < 0 || corrected > n) return 0;
  return table[n][corrected];
}

int CorrectCodeword(std::span<std::uint8_t> symbols) {
  const CEnDe_Code* codec = CodecFor(static_cast<int>(symbols.size()));
  if (codec == nullptr) return -1;
  const std::int32_t corrected = codec->Decode(symbols.data(), nullptr);
  return corrected >= 0 && 2 * corrected <= codec->rootCount ? corrected : -1;
}

}  // namespace orla
