#include "next_combination.h"

#include <algorithm>

namespace {

int LimitOf(const std::uint8_t* limits, int i) { return std::max<int>(limits[i], 1); }

// The last position that can hold the digit value m, or -1.
int LastPositionFor(int n, const std::uint8_t* limits, int m) {
  for (int i = n - 1; i >= 0; --i) {
    if (LimitOf(limits, i) > m) return i;
  }
  return -1;
}

}  // namespace

int NextCombination(int n, std::uint8_t* digits, const std::uint8_t* limits) {
  if (n <= 0) return 0;
  const int largest = *std::max_element(digits, digits + n);

  // The next combination in this group: count up with every digit kept at most `largest`.
  int i = n - 1;
  for (; i >= 0; --i) {
    const int bound = std::min(LimitOf(limits, i), largest + 1);
    if (digits[i] + 1 < bound) {
      ++digits[i];
      break;
    }
    digits[i] = 0;
  }
  if (i >= 0) {
    if (*std::max_element(digits, digits + n) == largest) return 1;
    // No digit holds `largest` any more: the smallest combination after this one that is
    // still in the group puts it at the last position that can hold it (which lies after
    // every digit the count changed).
    const int j = LastPositionFor(n, limits, largest);
    digits[j] = static_cast<std::uint8_t>(largest);
    std::fill(digits + j + 1, digits + n, std::uint8_t{0});
    return 1;
  }

  // The group is done (every digit is 0 again): start the next one at its smallest member.
  const int j = LastPositionFor(n, limits, largest + 1);
  if (j < 0) return 0;
  digits[j] = static_cast<std::uint8_t>(largest + 1);
  return 1;
}
