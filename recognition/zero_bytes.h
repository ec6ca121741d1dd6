#pragma once
// Finding the dots (bytes of value 0) of a stretch of a pixel row eight bytes at a time: the
// dot map is nearly all white, and the searches around a prediction look at a few short
// stretches of rows, each a word or three.

#include <bit>
#include <cstdint>
#include <cstring>

namespace orla {

static_assert(std::endian::native == std::endian::little, "the byte order of a loaded word is assumed");

// 0x80 in every byte of `word` that is 0, and 0 in every other byte, exactly (no carry from
// one byte reaches the next).
constexpr std::uint64_t ZeroByteFlags(std::uint64_t word) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  return ~(((word & kLow7) + kLow7) | word | kLow7);
}

// The zero flags of the word loaded at byte i, those of bytes at or past `n` cleared.
inline std::uint64_t ZeroFlagsOfWordAt(const std::uint8_t* bytes, int i, int n) {
  std::uint64_t word;
  std::memcpy(&word, bytes + i, sizeof word);
  std::uint64_t zeros = ZeroByteFlags(word);
  if (n - i < 8) zeros &= (std::uint64_t{1} << (8 * (n - i))) - 1;
  return zeros;
}

// Calls visit(i) for each i below `n` whose byte is 0, in rising order, until visit returns
// false. `readable` bytes from `bytes` on may be read (at least n): a word that runs past the
// stretch but not past them is loaded whole and its bytes beyond the stretch ignored.
template <typename Visit>
void ForEachZeroByte(const std::uint8_t* bytes, int n, int readable, Visit visit) {
  int i = 0;
  for (; i < n && i + 8 <= readable; i += 8) {
    for (std::uint64_t zeros = ZeroFlagsOfWordAt(bytes, i, n); zeros != 0; zeros &= zeros - 1) {
      if (!visit(i + std::countr_zero(zeros) / 8)) return;
    }
  }
  for (; i < n; ++i) {
    if (bytes[i] == 0 && !visit(i)) return;
  }
}

// The number of bytes of value 0 among the first `n`; `readable` as for ForEachZeroByte.
inline int CountZeroBytes(const std::uint8_t* bytes, int n, int readable) {
  int count = 0;
  int i = 0;
  for (; i < n && i + 8 <= readable; i += 8) {
    // One flag bit per byte: their sum, gathered into the top byte by one multiplication.
    count += static_cast<int>(((ZeroFlagsOfWordAt(bytes, i, n) >> 7) * 0x0101010101010101ull) >> 56);
  }
  for (; i < n; ++i) count += bytes[i] == 0;
  return count;
}

}  // namespace orla
