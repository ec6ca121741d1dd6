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

// Corrects the codeword in place and gives the number of symbols corrected; -1 (the word
// untouched or not to be used) when it cannot be corrected, or when more symbols were corrected
// than half its check symbols: a word that far off is more likely another codeword than this
// one.
int CorrectCodeword(std::span<std::uint8_t> symbols);
inline bool DecodeCodeword(std::span<std::uint8_t> symbols) { return CorrectCodeword(symbols) >= 0; }

// How far a codeword of n symbols decoded with `corrected` corrections can be trusted: twice
// the decimal logarithm of how much likelier it is that the word was read right, give or take
// those corrections, than that damage beyond repair turned it into this codeword by chance,
// on a page where one symbol in six is misread (rounded, at least 1). A word damaged beyond
// repair lies within c symbols of some other codeword in the share of all words that the
// codewords' spheres of radius c fill: one in 4096 of the 7-symbol words for c = 0, but two
// in three of the 6-symbol words for c = 1. So a clean 7-symbol word gives 8 (10^4 to 1), a
// 6-symbol word corrected once only 1 (2 to 1).
int CodewordTrust(int n, int corrected);

}  // namespace orla
