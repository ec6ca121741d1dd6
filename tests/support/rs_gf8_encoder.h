#pragma once
// Systematic Reed-Solomon encoder for the tracking pattern's codes over GF(8) (field polynomial
// x^3 + x + 1, roots alpha^1 .. alpha^(n-k)), written from the field rules alone and sharing no
// code with the decoder, so that tests and the pattern writer can make codewords to read back.
// A codeword is n symbols, the first the coefficient of x^(n-1): k data symbols, then the n - k
// parity symbols.

#include <cstdint>
#include <span>
#include <vector>

namespace orla::test {

std::uint8_t Gf8Multiply(std::uint8_t a, std::uint8_t b);

// The data symbols (each 0..7) followed by their parity; n - k = parityCount.
std::vector<std::uint8_t> EncodeGf8Codeword(const std::vector<std::uint8_t>& data, int parityCount);

// True when every symbol is 0..7 and the word vanishes at alpha^1 .. alpha^parityCount.
bool IsGf8Codeword(std::span<const std::uint8_t> word, int parityCount);

}  // namespace orla::test
