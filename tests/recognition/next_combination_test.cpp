// Stepping through combinations of stored alternatives.

#include "next_combination.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using Combination = std::vector<std::uint8_t>;

std::vector<Combination> Visit(std::vector<std::uint8_t> limits, int (*step)(int, std::uint8_t*, const std::uint8_t*)) {
  const int n = static_cast<int>(limits.size());
  Combination digits(limits.size(), 0);
  std::vector<Combination> visited{digits};
  while (step(n, digits.data(), limits.data()) != 0) visited.push_back(digits);
  EXPECT_EQ(digits, Combination(limits.size(), 0)) << "the digits are 0 again at the end";
  return visited;
}

// The stepping by groups as first designed, kept here as the reference for the order of
// the combinations it does reach: groups of rising largest digit M, each group stepped so
// that some combinations are left out (for two digits of limit 3 it never reaches 1, 2).
int ReferenceStep(int n, std::uint8_t* d, const std::uint8_t* limits) {
  int m = std::max(1, static_cast<int>(*std::max_element(d, d + n)));
  int p = 0;
  for (int i = 0; i < n; ++i) {
    if (d[i] == m) {
      p = i;
      break;
    }
  }
  bool f = false;
  for (int i = n - 1; i >= 0; --i) {
    if (d[i] + 1 < limits[i] && d[i] < m) {
      if (!f) {
        ++d[i];
        return 1;
      }
      if (m < limits[i]) {
        d[i] = static_cast<std::uint8_t>(m);
        return 1;
      }
      d[i] = 0;
      continue;
    }
    if (i == p) f = true;
    d[i] = 0;
  }
  for (int i = n - 1; i >= 0; --i) {
    if (m + 1 < limits[i]) {
      d[i] = static_cast<std::uint8_t>(m + 1);
      return 1;
    }
  }
  return 0;
}

std::string Text(const std::vector<Combination>& combinations) {
  std::string text;
  for (const Combination& c : combinations) {
    if (!text.empty()) text += ' ';
    for (std::uint8_t d : c) text += static_cast<char>('0' + d);
  }
  return text;
}

TEST(NextCombination, TwoDigitsOfLimitThreeReachTheOneTheOldSteppingMissed) {
  EXPECT_EQ(Text(Visit({3, 3}, ReferenceStep)), "00 01 10 11 02 20 21 22");
  EXPECT_EQ(Text(Visit({3, 3}, NextCombination)), "00 01 10 11 02 12 20 21 22");
  EXPECT_EQ(Visit({3, 3, 3}, ReferenceStep).size(), 21u);
  EXPECT_EQ(Visit({3, 3, 3}, NextCombination).size(), 27u);
}

TEST(NextCombination, VisitsEveryCombinationOnceInGroupsOfRisingLargestDigit) {
  std::mt19937 random(20261210);
  for (int round = 0; round < 400; ++round) {
    const int n = 1 + static_cast<int>(random() % 6);
    std::vector<std::uint8_t> limits;
    std::size_t total = 1;
    for (int i = 0; i < n; ++i) {
      limits.push_back(static_cast<std::uint8_t>(random() % 6));  // 0 counts as 1
      total *= std::max<std::size_t>(limits.back(), 1);
    }
    const std::vector<Combination> visited = Visit(limits, NextCombination);
    const std::string what = "limits " + Text({limits}) + ", seed round " + std::to_string(round);
    EXPECT_EQ(visited.size(), total) << what;
    EXPECT_EQ(std::set<Combination>(visited.begin(), visited.end()).size(), visited.size()) << what;
    int largest = 0;
    for (const Combination& c : visited) {
      for (std::size_t i = 0; i < c.size(); ++i) ASSERT_LT(c[i], std::max<int>(limits[i], 1)) << what;
      const int m = *std::max_element(c.begin(), c.end());
      EXPECT_GE(m, largest) << what;
      largest = m;
    }
    // Where the old stepping defined an order, it is kept.
    const std::vector<Combination> reference = Visit(limits, ReferenceStep);
    auto at = visited.begin();
    for (const Combination& c : reference) {
      at = std::find(at, visited.end(), c);
      ASSERT_NE(at, visited.end()) << what << ": " << Text({c}) << " out of order";
    }
  }
}

TEST(NextCombination, NothingToStepThrough) {
  std::uint8_t digits[3] = {0, 0, 0};
  const std::uint8_t ones[3] = {1, 1, 0};
  EXPECT_EQ(NextCombination(3, digits, ones), 0);
  EXPECT_EQ(NextCombination(0, digits, ones), 0);
  EXPECT_EQ(digits[0] + digits[1] + digits[2], 0);
}

}  // namespace
