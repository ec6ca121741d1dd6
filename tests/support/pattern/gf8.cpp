#include "gf8.h"

namespace orla::pattern {

std::uint8_t Gf8Multiply(std::uint8_t a, std::uint8_t b) {
  unsigned product = 0;
  unsigned shifted = a & 7u;
  for (unsigned bits = b & 7u; bits != 0; bits >>= 1) {
    if (bits & 1u) product ^= shifted;
    shifted <<= 1;
    if (shifted & 8u) shifted ^= kGf8Polynomial;
  }
  return static_cast<std::uint8_t>(product & 7u);
}

std::uint8_t Gf8Power(int exponent) {
  std::uint8_t value = 1;
  for (int i = 0; i < exponent % 7; ++i) value = Gf8Multiply(value, 2);
  return value;
}

}  // namespace orla::pattern
