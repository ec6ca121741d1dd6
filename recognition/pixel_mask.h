#pragma once
// One bit for every pixel of a page, all clear at first: which pixels a walk has already
// taken. An eighth of the page's bytes where a copy of the page would cost all of them.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orla {

class PixelMask {
 public:
  PixelMask(int width, int height)
      : wordsPerRow_((static_cast<std::size_t>(width > 0 ? width : 0) + 63) / 64),
        words_(wordsPerRow_ * static_cast<std::size_t>(height > 0 ? height : 0)) {}

  bool Test(int x, int y) const { return (Word(x, y) & Bit(x)) != 0; }
  void Set(int x, int y) { Word(x, y) |= Bit(x); }

 private:
  static std::uint64_t Bit(int x) { return std::uint64_t{1} << (static_cast<unsigned>(x) % 64); }
  std::uint64_t& Word(int x, int y) {
    return words_[static_cast<std::size_t>(y) * wordsPerRow_ + static_cast<std::size_t>(x) / 64];
  }
  const std::uint64_t& Word(int x, int y) const {
    return words_[static_cast<std::size_t>(y) * wordsPerRow_ + static_cast<std::size_t>(x) / 64];
  }

  std::size_t wordsPerRow_;
  std::vector<std::uint64_t> words_;
};

}  // namespace orla
