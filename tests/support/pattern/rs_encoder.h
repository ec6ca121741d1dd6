#pragma once
// Systematic Reed-Solomon codewords over GF(8) in the shapes the tracking pattern uses: the
// field built on x^3 + x + 1, the roots alpha^1 .. alpha^(n-k). A codeword is held highest
// power first: symbol 0 is the coefficient of x^(n-1), so the data symbols come first and the
// check symbols last. The arithmetic is the test-side encoder's (rs_gf8_encoder.h), which
// shares nothing with the decoder.

#include <cstdint>
#include <span>
#include <vector>

namespace orla::pattern {

// Data symbols of a codeword of n symbols (3 to 7): 7 -> 3, 6 -> 4, 5 -> 3, 4 -> 2, 3 -> 1.
// Half of n rounded up are check symbols, one fewer when that half is odd. 0 outside 3 to 7.
int DataSymbolsOf(int codewordLength);

// The codeword of n symbols whose first data.size() symbols are `data` and whose last
// n - data.size() symbols make it vanish at alpha^1 .. alpha^(n - data.size()).
std::vector<std::uint8_t> EncodeCodeword(std::span<const std::uint8_t> data, int codewordLength);

}  // namespace orla::pattern
