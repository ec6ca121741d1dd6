#pragma once
// Stepping through combinations of stored alternatives: digit i picks one of limits[i]
// alternatives (a limit below 1 counts as 1). Combinations come in groups of rising largest
// digit, so the alternatives stored first are tried together first; within a group they come
// in lexicographic order, digit 0 the most significant. Every combination is visited once.

#include <cstdint>

// A search through the combinations gives up after this many tries more than the first, so
// at most 10001 combinations are built.
inline constexpr int kMostCombinationTries = 10000;

// Moves the n digits to the next combination: 1, or 0 with all digits 0 when there is none.
int NextCombination(int n, std::uint8_t* digits, const std::uint8_t* limits);
