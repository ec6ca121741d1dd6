#pragma once
// Arithmetic in the field with 8 elements built on x^3 + x + 1, with alpha = x (the value 2)
// as generator. Elements are the bit patterns 0 to 7.

#include <cstdint>

namespace orla::pattern {

inline constexpr std::uint8_t kGf8Polynomial = 0xB;

// alpha^e for any e >= 0.
std::uint8_t Gf8Power(int exponent);
// Product by shift-and-add with reduction, no tables: the tests use it to check the tables.
std::uint8_t Gf8Multiply(std::uint8_t a, std::uint8_t b);

}  // namespace orla::pattern
