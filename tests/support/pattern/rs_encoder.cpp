#include "rs_encoder.h"

#include "rs_gf8_encoder.h"

namespace orla::pattern {

int DataSymbolsOf(int codewordLength) {
  if (codewordLength < 3 || codewordLength > 7) return 0;
  const int half = (codewordLength + 1) / 2;
  return codewordLength - half + (half % 2);
}

std::vector<std::uint8_t> EncodeCodeword(std::span<const std::uint8_t> data, int codewordLength) {
  const int roots = codewordLength - static_cast<int>(data.size());
  std::vector<std::uint8_t> word(data.begin(), data.end());
  if (roots <= 0) {
    word.resize(static_cast<std::size_t>(codewordLength > 0 ? codewordLength : 0), 0);
    return word;
  }
  return test::EncodeGf8Codeword(word, roots);
}

}  // namespace orla::pattern
