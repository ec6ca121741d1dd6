#include "codeword.h"

#include <array>
#include <memory>

#include "ende_code.h"

namespace orla {
namespace {

// One codec per codeword length, built once: a block read builds up to ten codewords, and
// the tables are the same for every block.
const CEnDe_Code* CodecFor(int n) {
  static const auto codecs = [] {
    std::array<std::unique_ptr<CEnDe_Code>, kLongestCodeword + 1> made;
    for (int length = kShortestCodeword; length <= kLongestCodeword; ++length) {
      const int k = CodewordDataSymbols(length);
      made[static_cast<std::size_t>(length)] = std::make_unique<CEnDe_Code>(k, length, 3, 0xB, 1, 1, length - k);
    }
    return made;
  }();
  if (n < kShortestCodeword || n > kLongestCodeword) return nullptr;
  return codecs[static_cast<std::size_t>(n)].get();
}

}  // namespace

bool DecodeCodeword(std::span<std::uint8_t> symbols) {
  const CEnDe_Code* codec = CodecFor(static_cast<int>(symbols.size()));
  if (codec == nullptr) return false;
  const std::int32_t corrected = codec->Decode(symbols.data(), nullptr);
  return corrected >= 0 && 2 * corrected <= codec->rootCount;
}

}  // namespace orla
