// Decodes arbitrary 7-symbol words with each codeword shape of the block format and checks the
// codec's promises: a word the caller would accept is a codeword, changed only at reported
// positions, and a refused word is left as it came.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "ende_code.h"
#include "rs_gf8_encoder.h"

namespace {
struct Shape {
  int n;
  int k;
};
constexpr Shape kShapes[] = {{7, 3}, {6, 4}, {5, 3}, {4, 2}, {3, 1}};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return 0;
  const Shape shape = kShapes[data[0] % std::size(kShapes)];
  // The selector's top bit keeps the raw bytes, so that symbols outside the field arrive too.
  const bool raw = (data[0] & 0x80) != 0;
  std::array<std::uint8_t, 7> received{};
  for (int i = 0; i < 7; ++i) received[i] = raw ? data[1 + i] : data[1 + i] & 7;
  const int parity = shape.n - shape.k;
  const CEnDe_Code codec(shape.k, shape.n, 3, 0xB, 1, 1, parity);
  std::array<std::uint8_t, 7> word = received;
  std::array<std::int32_t, 4> positions{};
  const int result = codec.Decode(word.data(), positions.data());
  if (result < -1 || result > parity) std::abort();
  if (result < 0) {
    if (word != received) std::abort();
    return 0;
  }
  if (2 * result > parity) return 0;
  if (!orla::test::IsGf8Codeword(std::span<const std::uint8_t>(word.data(), shape.n), parity)) std::abort();
  for (int at = 0; at < 7; ++at) {
    if (word[at] == received[at]) continue;
    if (at >= shape.n || std::find(positions.begin(), positions.begin() + result, at) == positions.begin() + result) {
      std::abort();
    }
  }
  return 0;
}
