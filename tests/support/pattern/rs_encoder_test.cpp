#include "rs_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "rs_gf8_encoder.h"

namespace orla::pattern {
namespace {

using Symbols = std::vector<std::uint8_t>;

// alpha^e by repeated products, alpha being the element 2.
std::uint8_t Power(int exponent) {
  std::uint8_t value = 1;
  for (int i = 0; i < exponent; ++i) value = test::Gf8Multiply(value, 2);
  return value;
}

int LogOf(std::uint8_t value) {
  for (int e = 0; e < 7; ++e)
    if (Power(e) == value) return e;
  return -1;
}

TEST(Gf8, PowersOfAlphaAndProductsFollowTheFieldPolynomial) {
  const Symbols powers{1, 2, 4, 3, 6, 7, 5};
  for (int e = 0; e < 14; ++e) EXPECT_EQ(Power(e), powers[static_cast<std::size_t>(e % 7)]) << e;
  // Every product agrees with adding logarithms; 0 annihilates.
  for (int a = 0; a < 8; ++a)
    for (int b = 0; b < 8; ++b) {
      const std::uint8_t expected =
          (a == 0 || b == 0) ? 0 : Power(LogOf(static_cast<std::uint8_t>(a)) + LogOf(static_cast<std::uint8_t>(b)));
      EXPECT_EQ(test::Gf8Multiply(static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b)), expected)
          << a << "*" << b;
    }
}

TEST(RsEncoder, GeneratorsMatchTheCodecsLogForm) {
  // The codeword of the data 0, ..., 0, 1 is the generator polynomial itself, highest power
  // first. As logarithms, constant term first: 4 roots give 3 1 0 3 0, 2 roots 3 4 0.
  const struct {
    Symbols data;
    int n;
    std::vector<int> logs;
  } cases[] = {{{0, 0, 1}, 7, {3, 1, 0, 3, 0}}, {{0, 0, 1}, 5, {3, 4, 0}}};
  for (const auto& c : cases) {
    const Symbols word = EncodeCodeword(c.data, c.n);
    std::vector<int> logs;
    for (auto g = word.rbegin(); g != word.rend() && logs.size() < c.logs.size(); ++g) logs.push_back(LogOf(*g));
    EXPECT_EQ(logs, c.logs) << c.n - 3 << " roots";
  }
}

TEST(RsEncoder, ReproducesThePublishedCodewords) {
  const struct {
    Symbols data;
    int n;
    Symbols codeword;
  } cases[] = {
      {{1, 2, 3}, 7, {1, 2, 3, 0, 0, 1, 3}},
      {{1, 2, 3}, 5, {1, 2, 3, 4, 4}},  // the shortened word of the codec's located-error case
  };
  for (const auto& c : cases) EXPECT_EQ(EncodeCodeword(c.data, c.n), c.codeword) << "n " << c.n;
}

TEST(RsEncoder, CodewordShapes) {
  const int expected[][2] = {{7, 3}, {6, 4}, {5, 3}, {4, 2}, {3, 1}, {2, 0}, {8, 0}};
  for (const auto& c : expected) EXPECT_EQ(DataSymbolsOf(c[0]), c[1]) << "n " << c[0];
}

// Every data word of every shape: systematic, zero at every root, and any single changed
// symbol leaves a non-zero syndrome (the code's distance is more than 1).
TEST(RsEncoder, EveryCodewordOfEveryShapeHasZeroSyndromes) {
  for (int n = 3; n <= 7; ++n) {
    const int k = DataSymbolsOf(n);
    const int roots = n - k;
    int words = 1;
    for (int i = 0; i < k; ++i) words *= 8;
    for (int value = 0; value < words; ++value) {
      Symbols data;
      for (int i = k - 1; i >= 0; --i) data.push_back(static_cast<std::uint8_t>((value >> (3 * i)) & 7));
      Symbols word = EncodeCodeword(data, n);
      ASSERT_EQ(word.size(), static_cast<std::size_t>(n));
      ASSERT_TRUE(std::equal(data.begin(), data.end(), word.begin()));
      ASSERT_TRUE(test::IsGf8Codeword(word, roots)) << "n " << n << " word " << value;
      const std::size_t at = static_cast<std::size_t>(value % n);
      word[at] ^= static_cast<std::uint8_t>(1 + value % 7);
      ASSERT_FALSE(test::IsGf8Codeword(word, roots)) << "n " << n << " word " << value;
    }
  }
}

}  // namespace
}  // namespace orla::pattern
