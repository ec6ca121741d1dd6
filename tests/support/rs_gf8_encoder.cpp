#include "rs_gf8_encoder.h"

namespace orla::test {

namespace {

constexpr std::uint8_t kAlpha = 2;

std::uint8_t Gf8Power(std::uint8_t base, int exponent) {
  std::uint8_t result = 1;
  for (int i = 0; i < exponent; ++i) result = Gf8Multiply(result, base);
  return result;
}

}  // namespace

std::uint8_t Gf8Multiply(std::uint8_t a, std::uint8_t b) {
  unsigned product = 0;
  for (int bit = 0; bit < 3; ++bit) {
    if (b & (1u << bit)) product ^= static_cast<unsigned>(a) << bit;
  }
  for (int bit = 4; bit >= 3; --bit) {
    if (product & (1u << bit)) product ^= 0xBu << (bit - 3);
  }
  return static_cast<std::uint8_t>(product);
}

std::vector<std::uint8_t> EncodeGf8Codeword(const std::vector<std::uint8_t>& data, int parityCount) {
  // Generator g(x) = (x - a^1)...(x - a^p), highest power first, monic.
  std::vector<std::uint8_t> g{1};
  for (int i = 1; i <= parityCount; ++i) {
    const std::uint8_t root = Gf8Power(kAlpha, i);
    std::vector<std::uint8_t> next(g.size() + 1, 0);
    for (std::size_t j = 0; j < g.size(); ++j) {
      next[j] ^= g[j];
      next[j + 1] ^= Gf8Multiply(g[j], root);
    }
    g = next;
  }
  // Remainder of data(x) * x^p divided by g(x), by long division.
  std::vector<std::uint8_t> work(data);
  work.resize(data.size() + parityCount, 0);
  for (std::size_t i = 0; i < data.size(); ++i) {
    const std::uint8_t factor = work[i];
    if (factor == 0) continue;
    for (std::size_t j = 0; j < g.size(); ++j) work[i + j] ^= Gf8Multiply(g[j], factor);
  }
  std::vector<std::uint8_t> word(data);
  word.insert(word.end(), work.begin() + static_cast<std::ptrdiff_t>(data.size()), work.end());
  return word;
}

bool IsGf8Codeword(std::span<const std::uint8_t> word, int parityCount) {
  for (std::uint8_t symbol : word) {
    if (symbol > 7) return false;
  }
  for (int i = 1; i <= parityCount; ++i) {
    const std::uint8_t x = Gf8Power(kAlpha, i);
    std::uint8_t value = 0;
    for (std::uint8_t symbol : word) value = static_cast<std::uint8_t>(Gf8Multiply(value, x) ^ symbol);
    if (value != 0) return false;
  }
  return true;
}

}  // namespace orla::test
