#pragma once
// Systematic Reed-Solomon encoding over GF(8): the code the tracking pattern uses for every
// group of symbols, with the roots alpha^1 .. alpha^(n-k). A codeword is held highest power
// first: symbol 0 is the coefficient of x^(n-1), so the data symbols come first and the check
// symbols last.

#include <cstdint>
#include <span>
#include <vector>

namespace orla::pattern {

// Data symbols of a codeword of n symbols (3 to 7): 7 -> 3, 6 -> 4, 5 -> 3, 4 -> 2, 3 -> 1.
// Half of n rounded up are check symbols, one fewer when that half is odd. 0 outside 3 to 7.
int DataSymbolsOf(int codewordLength);

// Generator polynomial (x - alpha)(x - alpha^2)...(x - alpha^roots), coefficients lowest
// power first, in polynomial (bit pattern) form.
std::vector<std::uint8_t> GeneratorPolynomial(int roots);

// The codeword of n symbols whose first data.size() symbols are `data` and whose last
// n - data.size() symbols make it divisible by the generator of that many roots.
std::vector<std::uint8_t> EncodeCodeword(std::span<const std::uint8_t> data, int codewordLength);

// The codeword evaluated at alpha^root (highest power first): 0 for every root 1 .. n - k of
// a codeword. Computed without log tables, from the field product alone.
std::uint8_t EvaluateAtPower(std::span<const std::uint8_t> codeword, int root);

}  // namespace orla::pattern
