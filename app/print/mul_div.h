#pragma once
// a * b / c rounded to the nearest integer, halves away from zero, computed in 64 bits: the
// unit conversion of the printing code (points to printer dots). -1 when c is 0 or the result
// does not fit in 32 bits, as the platform's MulDiv.

#include <cstdint>

namespace orla {

constexpr std::int32_t MulDivRound(std::int32_t a, std::int32_t b, std::int32_t c) {
  if (c == 0) return -1;
  std::int64_t product = static_cast<std::int64_t>(a) * b;
  std::int64_t divisor = c;
  if (divisor < 0) {
    divisor = -divisor;
    product = -product;
  }
  const std::int64_t half = divisor / 2;
  const std::int64_t result = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
  if (result > INT32_MAX || result < -INT32_MAX) return -1;
  return static_cast<std::int32_t>(result);
}

}  // namespace orla
