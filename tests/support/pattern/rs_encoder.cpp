#include "rs_encoder.h"

#include "gf8.h"

namespace orla::pattern {

int DataSymbolsOf(int codewordLength) {
  if (codewordLength < 3 || codewordLength > 7) return 0;
  const int half = (codewordLength + 1) / 2;
  return codewordLength - half + (half % 2);
}

std::vector<std::uint8_t> GeneratorPolynomial(int roots) {
  std::vector<std::uint8_t> g{1};
  for (int i = 1; i <= roots; ++i) {
    // Multiply by (x + alpha^i); in characteristic 2 minus is plus.
    const std::uint8_t root = Gf8Power(i);
    std::vector<std::uint8_t> next(g.size() + 1, 0);
    for (std::size_t j = 0; j < g.size(); ++j) {
      next[j + 1] ^= g[j];
      next[j] ^= Gf8Multiply(g[j], root);
    }
    g = std::move(next);
  }
  return g;
}

std::vector<std::uint8_t> EncodeCodeword(std::span<const std::uint8_t> data, int codewordLength) {
  const int k = static_cast<int>(data.size());
  const int roots = codewordLength - k;
  std::vector<std::uint8_t> word(data.begin(), data.end());
  word.resize(static_cast<std::size_t>(codewordLength), 0);
  if (roots <= 0) return word;
  const std::vector<std::uint8_t> g = GeneratorPolynomial(roots);  // monic, g[roots] = 1
  // Long division of data(x) * x^roots by g(x); the remainder is kept highest power first in
  // the check positions, which is what makes the word a multiple of g.
  std::vector<std::uint8_t> remainder(static_cast<std::size_t>(roots), 0);
  for (int i = 0; i < k; ++i) {
    const std::uint8_t feedback = static_cast<std::uint8_t>(word[static_cast<std::size_t>(i)] ^ remainder[0]);
    for (int j = 0; j < roots - 1; ++j) {
      remainder[static_cast<std::size_t>(j)] = static_cast<std::uint8_t>(
          remainder[static_cast<std::size_t>(j + 1)] ^
          Gf8Multiply(feedback, g[static_cast<std::size_t>(roots - 1 - j)]));
    }
    remainder[static_cast<std::size_t>(roots - 1)] = Gf8Multiply(feedback, g[0]);
  }
  for (int j = 0; j < roots; ++j) word[static_cast<std::size_t>(k + j)] = remainder[static_cast<std::size_t>(j)];
  return word;
}

std::uint8_t EvaluateAtPower(std::span<const std::uint8_t> codeword, int root) {
  const std::uint8_t x = Gf8Power(root);
  std::uint8_t value = 0;
  for (std::uint8_t symbol : codeword) value = static_cast<std::uint8_t>(Gf8Multiply(value, x) ^ (symbol & 7u));
  return value;
}

}  // namespace orla::pattern
