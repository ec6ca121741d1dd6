#pragma once
// The Reed-Solomon codewords of a block: 3-bit symbols over GF(8) (x^3 + x + 1, first root 1),
// 3 to 7 symbols long, with as many data symbols as the shape rule below gives.

#include <cstdint>
#include <span>

namespace orla {

inline constexpr int kShortestCodeword = 3;
inline constexpr int kLongestCodeword = 7;

// Data symbols of a codeword of n symbols: h = n/2 rounded up, k = n - h, plus 1 when h is
// odd (7 -> 3, 6 -> 4, 5 -> 3, 4 -> 2, 3 -> 1); the rest are check symbols.
constexpr int CodewordDataSymbols(int n) {
  const int h = (n + 1) / 2;
  return n - h + (h % 2 == 1 ? 1 : 0);
}

// Corrects the codeword in place. False (the word untouched or not to be used) when it cannot
// be corrected, or when more symbols were corrected than half its check symbols: a word that
// far off is more likely another codeword than this one.
bool DecodeCodeword(std::span<std::uint8_t> symbols);

}  // namespace orla
